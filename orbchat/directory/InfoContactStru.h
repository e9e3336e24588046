#pragma once
// One contact row of the contact lists (the contact browser and the group
// management dialog): five strings, the two in the middle left empty.
#include "CString.h"

struct InfoContactStru {
  CString contactid;
  CString name;
  CString reserved1;
  CString reserved2;
  CString role;
};
