#pragma once
// The organ engine: console state, MIDI device layer, routing and commands.
#include "channel_color.h"
#include "console_state.h"
#include "device_dialog.h"
#include "display_seam.h"
#include "engine_commands.h"
#include "engine_platform.h"
#include "midi_devices.h"
#include "midi_routing.h"
#include "midi_send.h"
#include "note_names.h"
#include "number_text.h"
