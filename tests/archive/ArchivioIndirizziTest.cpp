#include "archive/Archivio_Indirizzi.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
