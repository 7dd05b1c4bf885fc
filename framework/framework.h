// The framework subset the launcher is written on, in one include.
#pragma once

#include "framework/collections.h"
#include "framework/exceptions.h"
#include "framework/files.h"
#include "framework/string.h"
#include "framework/winapp.h"
