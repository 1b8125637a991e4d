#pragma once

#include <QString>

#include "high/top.h"
