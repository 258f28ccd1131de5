// Replaces a scene's own pass in multi-pass drawing: called once per pass
// with the projection and model-view matrices saved around it.
#pragma once

class CZelPassCallback
{
public:
    virtual ~CZelPassCallback() = default;
    virtual void renderPass(int pass) = 0;
};
