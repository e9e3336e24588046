#include "CBrush.h"

CBrush::~CBrush() = default;
