#include "CPen.h"

CPen::~CPen() = default;
