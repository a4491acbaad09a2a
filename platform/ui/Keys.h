// Virtual key codes and the lParam layout of key messages. The backend reports keys in these codes, so
// they are defined below it.
#pragma once

#include "platform/backend/InputCodes.h"
