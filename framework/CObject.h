#pragma once
// The root of the framework's classes: a polymorphic base with a virtual
// destructor, so an object can be deleted and inspected (dynamic_cast) through
// a CObject pointer.
#include "FrameworkApi.h"

class ORBFW_API CObject {
 public:
  CObject() = default;
  virtual ~CObject();
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};
