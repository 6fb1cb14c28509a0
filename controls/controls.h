// The custom control library: everything the programs call.
#pragma once

#include "buttons_lamps.h"
#include "colour.h"
#include "control_table.h"
#include "control_widget.h"
#include "cursor_values.h"
#include "drawing_layer.h"
#include "framework.h"
#include "input_state.h"
#include "knob.h"
#include "meters.h"
#include "primitives.h"
#include "text_codec.h"
#include "text_display.h"
#include "tooltips.h"
