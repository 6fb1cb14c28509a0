#pragma once
// The organ engine: console state, MIDI device layer, routing and commands.
#include "common/number_text.h"
#include "console/engine/channel_color.h"
#include "console/engine/console_state.h"
#include "console/engine/device_dialog.h"
#include "console/engine/display_seam.h"
#include "console/engine/engine_commands.h"
#include "console/engine/engine_platform.h"
#include "console/engine/midi_devices.h"
#include "console/engine/midi_routing.h"
#include "console/engine/midi_send.h"
#include "console/engine/note_names.h"
