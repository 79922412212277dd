// Every line converter, for code that picks one by image type.
#pragma once

#include "vexscan/convert/color_converters.h"
#include "vexscan/convert/gray_converters.h"
#include "vexscan/convert/plane_converters.h"
#include "vexscan/convert/reduction_tables.h"
#include "vexscan/convert/source_line.h"
