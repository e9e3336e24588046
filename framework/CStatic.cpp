#include "CStatic.h"

CStatic::~CStatic() = default;
