#pragma once
// Keeps a second copy of the program, or a tlvtool command, off the data
// directory the program works on, and tells whether the run before ended
// properly: the directory lock the program shares with tlvtool.
#include "data/DataLock.h"

namespace tlv {

using InstanceLock = DataLock;

} // namespace tlv
