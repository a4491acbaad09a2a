// The classes that component streams can create by name.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/rtl/Object.h"

namespace plat {

class TComponent;

// Registering the same class again does nothing; another class of the same name (without case) raises
// EFilerError "A class named %s already exists".
void RegisterClass(const TClassInfo& Cls);
void RegisterClasses(std::initializer_list<const TClassInfo*> Classes);
void UnRegisterClass(const TClassInfo& Cls);
void UnRegisterClasses(std::initializer_list<const TClassInfo*> Classes);

// Lookups without case. FindClass raises EClassNotFound "Class %s not found"; GetClass answers null.
const TClassInfo& FindClass(const std::string& ClassName);
const TClassInfo* GetClass(const std::string& ClassName);

// The registered classes, in the order they were registered.
std::vector<const TClassInfo*> RegisteredClasses();

// A new component of the registered class. Raises EClassNotFound for an unknown class and EFilerError
// when the class cannot be created by name or is not a component.
TComponent* CreateComponent(const std::string& ClassName, TComponent* Owner);

} // namespace plat
