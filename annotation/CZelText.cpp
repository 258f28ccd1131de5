// Text drawing and measuring through the shared font.
#include "CZelText.h"

void CZelText::setText(const std::string& text)
{
    m_text = text;
    if (m_font)
        m_font->setText(text);
}

void CZelText::getSize(double& width, double& height, double& depth)
{
    width = 0.0;
    height = 0.0;
    depth = 0.0;
    if (m_font)
        m_font->getSize(width, height, depth);
}

void CZelText::doCreateGeometry()
{
    if (!m_font)
        return;
    m_font->setText(m_text);
    m_font->render();
}
