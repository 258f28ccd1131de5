// Composite drawing, membership and bounds.
#include "CZelComposite.h"

#include <cmath>
#include <limits>

CZelComposite::CZelComposite()
{
    setUseName(false);
}

CZelComposite::~CZelComposite()
{
    clear();
}

void CZelComposite::addChild(CZelShape* shape)
{
    if (!shape)
        return;
    if (m_useReference)
        shape->addReference();
    m_children.push_back(shape);
}

CZelShape* CZelComposite::getChild(int index) const
{
    if (index < 0 || index >= getSize())
        return nullptr;
    return m_children[static_cast<size_t>(index)];
}

CZelShape* CZelComposite::removeShape(int index)
{
    CZelShape* child = getChild(index);
    if (!child)
        return nullptr;
    if (m_useReference)
        child->deleteReference();
    m_children.erase(m_children.begin() + index);
    return child;
}

CZelShape* CZelComposite::removeShape(CZelShape* shape)
{
    int i = 0;
    while (i < getSize()) {
        CZelShape* child = m_children[static_cast<size_t>(i)];
        if (child == shape) {
            // The next child moves into this index: look at it again.
            removeShape(i);
            continue;
        }
        if (child->isClass("CZelComposite"))
            static_cast<CZelComposite*>(child)->removeShape(shape);
        ++i;
    }
    return shape;
}

void CZelComposite::deleteShape(int index)
{
    CZelShape* child = removeShape(index);
    // Deleting a shape another owner still holds would leave it dangling.
    if (child && !child->referenced())
        delete child;
}

void CZelComposite::clear()
{
    std::vector<CZelShape*> children;
    children.swap(m_children);
    if (!m_useReference)
        return;
    // Nothing can reach a child only this list held: delete those.
    for (CZelShape* child : children) {
        child->deleteReference();
        if (!child->referenced())
            delete child;
    }
}

void CZelComposite::doCreateGeometry()
{
    const size_t step = m_drawStep > 1 ? static_cast<size_t>(m_drawStep) : 1;
    for (size_t i = 0; i < m_children.size(); i += step)
        if (m_children[i]->getState() == 0)
            m_children[i]->render();
}

void CZelComposite::doUpdateBoundingSphere()
{
    double maximum[3] = {-1e300, -1e300, -1e300};
    double minimum[3] = {1e300, 1e300, 1e300};
    for (CZelShape* child : m_children) {
        child->updateBoundingSphere();
        double p[3];
        child->getPosition(p[0], p[1], p[2]);
        const double r = child->getBoundingSphere()->getRadius();
        for (int k = 0; k < 3; ++k) {
            maximum[k] = std::fmax(maximum[k], p[k] + r);
            minimum[k] = std::fmin(minimum[k], p[k] - r);
        }
    }
    double centre[3];
    double halfDiagonal[3];
    for (int k = 0; k < 3; ++k) {
        centre[k] = (maximum[k] + minimum[k]) * 0.5;
        halfDiagonal[k] = maximum[k] - centre[k];
    }
    // Culling centres the sphere on the composite's own origin, so the radius
    // reaches from there; hypot does not overflow for the empty box (+-1e300).
    double radius = std::hypot(centre[0], centre[1], centre[2]) +
                    std::hypot(halfDiagonal[0], halfDiagonal[1], halfDiagonal[2]);
    if (std::isnan(radius))
        radius = std::numeric_limits<double>::infinity();
    getBoundingSphere()->setRadius(radius);
}

void CZelComposite::refresh()
{
    for (CZelShape* child : m_children)
        child->refresh();
}

void CZelComposite::setUseMaterial(int use)
{
    for (CZelShape* child : m_children)
        child->setUseMaterial(use);
}
