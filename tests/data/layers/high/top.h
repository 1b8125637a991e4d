// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "low/base.h"
