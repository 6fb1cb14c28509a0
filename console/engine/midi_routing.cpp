#include "console/engine/midi_routing.h"

#include "common/midi_message.h"
#include "common/number_text.h"
#include "console/engine/channel_colour.h"
#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"
#include "console/engine/held_keys.h"
#include "console/engine/midi_send.h"
#include "console/engine/note_names.h"
#include "platform/midi/midi_in.h"

namespace zt {

namespace {

int keyboardOf(int channel) { return channel == 0 ? kKeyboardUpper : kKeyboardLower; }

// Sends a note message unless the note has left the MIDI range: a shifted
// or added note outside 0..127 would corrupt the message's other bytes, so
// it is not sent at all (and that is not a failure).
int sendNote(int status, int note, int velocity) {
  if (note < 0 || note > 127) return MIDI_OK;
  if (velocity < 0) velocity = 0;
  if (velocity > 127) velocity = 127;
  return Midi_send(MidiMessage(status, note, velocity).word);
}

}  // namespace

void Note_show(int note) {
  FixedText<64> text;
  int pc = ((note % 12) + 12) % 12;
  text.addTrim(note)
      .add(" ")
      .add(kItalianNoteNames[pc])
      .add(" ")
      .add(kLetterNoteNames[pc])
      .add(":")
      .addTrim(note / 12);
  Display_note(text.view());
}

namespace {

// One walk over the drawn registers, 1 to 32 in order, for a key going down
// (`press`) or up. A press sends each register's program and pan first and
// lights the channel's indicator; a release darkens it and sends the
// matching note-offs. Both mark or restore the added note's key. A failed
// note send ends the walk with the operation's message.
void registerWalk(bool press, int note, int channel, int keyboard) {
  ConsoleState& s = consoleState;
  const int status = (press ? kNoteOn : kNoteOff) + channel;
  const char* failure = press ? "Errore in Midi_noteon" : "Errore in Midi_noteoff";
  Display_keyboard(keyboard, note - kKeyOffset,
                   press ? Midi_channelcolor(channel) : kColourNatural);
  for (int r = 1; r <= kRegisters; ++r) {
    if (s.regOn[r] != 1) continue;
    if (press) {
      Midi_progchang(s.regProgram[r], channel);
      Midi_pan(Midi_panvalue(s.regPan[r]), channel);
    }
    Display_indicator(channel, press ? kLampOn : kLampOff);
    const int shift = s.regShift[r];
    const int velocity = press ? s.regVolume[r] / 2 : 0;
    if (sendNote(status, note + shift, velocity) != MIDI_OK) {
      Display_failure(failure);
      return;
    }
    const int multi = s.regMulti[r];
    if (multi > 0) {
      Display_keyboard(keyboard, note + multi - kKeyOffset,
                       press ? kMultiNoteColour : kColourNatural);
      if (sendNote(status, note + multi + shift, velocity) != MIDI_OK) {
        Display_failure(failure);
        return;
      }
    }
  }
}

}  // namespace

void Midi_noteon(int note, int /*velocity*/, int channel, int keyboard) {
  registerWalk(true, note, channel, keyboard);
}

void Midi_noteoff(int note, int channel, int keyboard) {
  registerWalk(false, note, channel, keyboard);
}

void Midi_inproc(int32_t /*handle*/, uint32_t code, uintptr_t /*instance*/, uintptr_t param1,
                 uintptr_t param2) {
  ConsoleState& s = consoleState;
  Display_batch();
  FixedText<128> event;
  switch (code) {
    case MIM_OPEN: event.add("open"); break;
    case MIM_CLOSE: event.add("close"); break;
    case MIM_DATA: {
      const MidiMessage m(static_cast<uint32_t>(param1));
      if (m.status() >= kSystem) break;  // system and real-time messages are dropped
      switch (m.kind()) {
        case kNoteOff:
        case kNoteOn: {
          const bool press = m.isNoteOn();
          const int note = m.data1();
          event.add("Canale:").addStr(m.channel()).add(" Nota:").addStr(note);
          event.add(" Velocit\xE0:").addStr(m.data2()).add(" OnOff:").addStr(press ? 1 : 0);
          event.addStr(static_cast<uint32_t>(param2)).add("ms");
          s.lastNote = note;
          s.lastNoteOn = press ? 1 : 0;
          const int keyboard = keyboardOf(m.channel());
          // Marked before it sounds, so that a release of every held key
          // from the window thread never misses a key being pressed.
          if (press)
            Keys_down(m.channel(), note);
          else
            Keys_up(m.channel(), note);
          if (press) {
            Midi_noteon(note, 127, s.outChannel, keyboard);
            Note_show(s.lastNote);
          } else {
            Midi_noteoff(note, s.outChannel, keyboard);
          }
          break;
        }
        case kControlChange: event.add("Controller Change").addStr(m.data2()); break;
        case kProgramChange: {
          event.add("Program Change ").addStr(m.data1() + 1).addStr(m.status());
          const int r = m.data1() + 1;
          if (r <= kRegisters) {
            const int on = s.regOn[r] == 0 ? 1 : 0;
            s.regOn[r] = on;
            // The caption is the register's label, which only the window
            // thread reads: the request asks the window to use it.
            DisplayRequest q;
            q.kind = DisplayKind::registerButton;
            q.id = kRegisterButtonBase + r;
            q.level = on ? 100 : 0;
            q.captionIsLabel = true;
            Display_request(q);
          }
          break;
        }
        case kPitchBend:
          event.add("Bender Change").addStr(m.data2());
          Midi_notesoff();
          break;
        default: break;
      }
      Midi_send(m.word);  // forwarded unchanged; a refused message is lost
      break;
    }
    case MIM_LONGDATA: event.add("longdata").add(" ").addHex(param1).add(" ").addHex(param2); break;
    case MIM_ERROR: event.add("Errore!!! ").addHex(param1).add("/").addHex(param2); break;
    case MIM_LONGERROR: event.add("longerror"); break;
    default: event.add("???"); break;
  }
  if (!event.empty()) {
    FixedText<132> status;
    status.add("<").add(event.view());
    Display_status(status.view());
  }
}

void Midi_fromplayer(uint32_t message, int mode) {
  ConsoleState& s = consoleState;
  const MidiMessage m(message);
  if (m.status() >= kSystem) return;
  if (m.kind() == kNoteOff || m.kind() == kNoteOn) {
    // The player's note on is a press whatever its velocity: its reader
    // has made note ons at velocity 0 note offs already.
    const bool press = m.kind() == kNoteOn;
    const int note = m.data1(), channel = m.channel();
    const int keyboard = keyboardOf(channel);
    s.lastNote = note;
    s.lastNoteOn = press ? 1 : 0;
    if (press) {
      if (mode == 1) {
        Midi_noteon(note, 127, channel, keyboard);
      } else {
        Display_keyboard(keyboard, note - kKeyOffset, Midi_channelcolor(channel));
        Display_indicator(channel, kLampOn);
      }
      Note_show(s.lastNote);
    } else if (mode == 1) {
      Midi_noteoff(note, channel, keyboard);
    } else {
      Display_keyboard(keyboard, note - kKeyOffset, kColourNatural);
      Display_indicator(channel, kLampOff);
    }
  }
  if (mode != 1) Midi_send(message);
}

void Midi_playerrequest(int32_t wParam, int32_t lParam) {
  if (lParam == 0)
    Midi_notesoff();
  else
    Midi_fromplayer(static_cast<uint32_t>(lParam), static_cast<int>(wParam));
}

}  // namespace zt
