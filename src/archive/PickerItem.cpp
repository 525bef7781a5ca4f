#include "archive/PickerItem.h"
