// SPDX-License-Identifier: GPL-3.0-or-later
// The Options dialog template (dialog 103) and the accelerator table
// (accelerator table 3), in the binary layouts the old platform loads.
#pragma once

#include "tools/gen-assets/bytes.h"

Bytes EncodeOptionsDialog();
Bytes EncodeAccelerators();
