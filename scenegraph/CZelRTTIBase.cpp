// Root of the class-name chain.
#include "CZelRTTIBase.h"

bool CZelRTTIBase::isClass(const std::string& name) const
{
    const std::string own = CZelRTTIBase::getClassNameThis();
    return !own.empty() && own == name;
}
