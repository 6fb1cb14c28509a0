// The custom control library: everything the programs call.
#pragma once

#include "controls/buttons_lamps.h"
#include "controls/colour.h"
#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "controls/cursor_values.h"
#include "controls/drawing_layer.h"
#include "controls/framework.h"
#include "controls/input_state.h"
#include "controls/knob.h"
#include "controls/meters.h"
#include "controls/primitives.h"
#include "controls/text_codec.h"
#include "controls/text_display.h"
#include "controls/tooltips.h"
