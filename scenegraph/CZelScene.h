// The scene the application draws: a scene base under its own class name.
#pragma once

#include "CZelSceneBase.h"

class CZelScene : public CZelSceneBase
{
    ZEL_DECLARE_CLASS(CZelScene, CZelSceneBase)
public:
    CZelScene();
};
