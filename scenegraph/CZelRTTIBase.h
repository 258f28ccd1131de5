// Run-time class naming: every scene-graph class answers its own name and
// isClass walks the chain of base classes by name.
#pragma once

#include <string>

class CZelRTTIBase
{
public:
    virtual ~CZelRTTIBase() = default;
    virtual bool isClass(const std::string& name) const;
    virtual std::string getClassNameThis() const { return "CZelRTTIBase"; }
};

// Declares the two naming operations of a class that derives from BASE.
#define ZEL_DECLARE_CLASS(CLASS, BASE)                                       \
public:                                                                      \
    bool isClass(const std::string& name) const override                    \
    {                                                                        \
        const std::string own = CLASS::getClassNameThis();                   \
        if (own.empty())                                                     \
            return false;                                                    \
        return own == name || BASE::isClass(name);                           \
    }                                                                        \
    std::string getClassNameThis() const override { return #CLASS; }         \
                                                                             \
private:
