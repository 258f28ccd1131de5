// Root of the class-name chain of the math classes.
#include "CZelMathBase.h"

bool CZelMathBase::isClass(const std::string& name) const
{
    const std::string own = CZelMathBase::getClassNameThis();
    return !own.empty() && own == name;
}
