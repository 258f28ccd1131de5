// An OpenGL 2-D texture as a shape carries it: bound (created) the first time
// the shape draws it, applied with its environment and texture matrix afterwards.
#pragma once

#include "CZelGLBase.h"
#include "CZelImage.h"
#include "CZelPointer.h"

#include <GL/gl.h>

class CZelTexture : public CZelGLBase
{
    ZEL_DECLARE_CLASS(CZelTexture, CZelGLBase)
public:
    ~CZelTexture() override;

    // First use: makes the GL texture, sets its parameters and uploads the pixels.
    void bind();
    // Later uses: binds it again with its environment and texture matrix.
    void apply();

    // Adds a reference to the image; the previous one is released. Takes
    // effect at the next bind.
    void setImage(CZelImage* image) { m_image = image; }
    // Borrowed.
    CZelImage* getImage() const { return m_image; }
    // Borrowed: RGBA bytes, width x height pixels, bottom row first, that the
    // caller keeps alive until the texture is bound.
    void setRawData(const unsigned char* rgba, int width, int height);
    int getRawWidth() const { return m_rawWidth; }
    int getRawHeight() const { return m_rawHeight; }
    void setGenerateMipmaps(bool generate) { m_generateMipmaps = generate; }
    bool getGenerateMipmaps() const { return m_generateMipmaps; }
    // With upload off, bind only creates the texture object and its parameters.
    void setUploadImage(bool upload) { m_uploadImage = upload; }
    // With generate name off, bind uses the name given here.
    void setGenerateName(bool generate) { m_generateName = generate; }
    void setTextureName(GLuint name) { m_textureName = name; }

    void setFilters(GLint minification, GLint magnification);
    void setRepeat(GLint wrapS, GLint wrapT);
    void setMode(GLint mode) { m_mode = mode; }
    void setEnvColor(float r, float g, float b, float a);
    void setTextureTransform(double scaleS, double scaleT, double rotation, double translationS, double translationT);
    // An inactive texture switches texturing off while its shape draws.
    void setActive(bool active) { m_active = active; }
    bool isActive() const { return m_active; }
    // Lets go of the image once GL holds its pixels, for pictures too large
    // to keep twice; a later bind then has nothing to upload.
    void setReleaseImageAfterUpload(bool release);
    bool isCreated() const { return m_created; }
    GLuint getTextureName() const { return m_textureName; }

private:
    void uploadPixels();

    GLint m_wrapT = GL_REPEAT;
    GLint m_wrapS = GL_REPEAT;
    GLint m_mode = GL_MODULATE;
    GLint m_magFilter = GL_LINEAR;
    GLint m_minFilter = GL_LINEAR;
    GLuint m_textureName = 0;
    float m_envColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    bool m_generateMipmaps = false;
    bool m_created = false;
    bool m_generateName = true;
    bool m_uploadImage = true;
    CZelPointer<CZelImage> m_image;
    const unsigned char* m_rawData = nullptr;
    int m_rawWidth = 0;
    int m_rawHeight = 0;
    double m_scaleS = 1.0;
    double m_scaleT = 1.0;
    double m_rotation = 0.0;
    double m_translationS = 0.0;
    double m_translationT = 0.0;
    bool m_active = true;
    bool m_releaseImageAfterUpload = false;
};
