#include "platform/midi/synth_channels.h"

#include <algorithm>
#include <bit>

#include "common/midi_message.h"

namespace zt {

namespace {

// Controllers with a meaning of their own here (besides pan and the
// channel mode messages).
constexpr int kBankMsb = 0;
constexpr int kDataEntry = 6;
constexpr int kVolume = 7;
constexpr int kBalance = 8;
constexpr int kExpression = 11;
constexpr int kBankLsb = 32;
constexpr int kSustain = 64;
constexpr int kPortamentoControl = 84;
constexpr int kNrpnLsb = 98;
constexpr int kRpnLsb = 100;
constexpr int kRpnMsb = 101;
constexpr int kResetAllControllers = 121;

bool sustaining(uint8_t pedal) { return pedal >= 64; }

// Controllers copied to an internal channel when it is taken: every one
// that holds a state, not those that select (bank, pan: the combination
// itself; the parameter numbers and data entry, which only mean something
// in sequence) and not the channel mode messages.
bool replayed(int controller) {
  if (controller == kBankMsb || controller == kBankLsb || controller == kPanController)
    return false;
  if (controller == kDataEntry || controller == kDataEntry + 32) return false;
  if (controller >= 96 && controller <= kRpnMsb) return false;
  if (controller == kPortamentoControl) return false;
  return controller < kAllSoundOff;
}

// What a reset of all controllers leaves as it was, as the synthesiser does
// it: bank select, volume, pan and balance, the sound controllers 70-79 and
// the effect depths 91-95.
bool keptByReset(int controller) {
  switch (controller) {
    case kBankMsb:
    case kBankLsb:
    case kVolume:
    case kVolume + 32:
    case kPanController:
    case kPanController + 32:
    case kBalance:
    case kBalance + 32: return true;
    default:
      return (controller >= 70 && controller <= 79) || (controller >= 91 && controller <= 95);
  }
}

}  // namespace

int SynthChannels::KeySet::count() const { return std::popcount(bits[0]) + std::popcount(bits[1]); }

SynthChannels::SynthChannels(int internal)
    : internal_(static_cast<size_t>(std::clamp(internal, kIncoming, kMaxInternal))) {
  // The synthesiser's own start-up values.
  defaults_.fill(0);
  defaults_[kVolume] = 100;
  defaults_[kBalance] = 64;
  defaults_[kPanController] = 64;
  defaults_[kExpression] = 127;
  defaults_[kExpression + 32] = 127;
  for (int c = 70; c <= 79; ++c) defaults_[c] = 64;
  for (int c = kNrpnLsb; c <= kRpnMsb; ++c) defaults_[c] = 127;
  reset();
}

void SynthChannels::reset() {
  for (Incoming& in : incoming_) in = Incoming{};
  for (Incoming& in : incoming_) in.controller = defaults_;
  for (size_t i = 0; i < internal_.size(); ++i) {
    internal_[i] = Internal{};
    internal_[i].controller = defaults_;
    internal_[i].drums = i == kPercussion;
  }
  clock_ = 0;
}

uint32_t SynthChannels::selectionOf(const Incoming& in) {
  return uint32_t{in.controller[kBankMsb]} << 24 | uint32_t{in.controller[kBankLsb]} << 16 |
         uint32_t(in.program & 0x7F) << 8 | in.controller[kPanController];
}

void SynthChannels::play(uint32_t message, SynthVoices& out) {
  const MidiMessage m(message);
  const int d1 = m.data1() & 0x7F;
  const int d2 = m.data2() & 0x7F;
  const int channel = m.channel();
  Incoming& in = incoming_[channel];
  switch (m.kind()) {
    case kNoteOff: noteOff(channel, d1, out); break;
    case kNoteOn:
      if (d2 == 0)
        noteOff(channel, d1, out);
      else
        noteOn(channel, d1, d2, out);
      break;
    case kKeyPressure:
      for (int k = 0; k < in.ownedCount; ++k)
        if (internal_[in.owned[k]].down.has(d1)) out.keyPressure(in.owned[k], d1, d2);
      break;
    case kControlChange: controlChange(channel, d1, d2, out); break;
    case kProgramChange: in.program = d1; break;
    case kChannelPressure:
      in.pressure = d1;
      for (int k = 0; k < in.ownedCount; ++k) {
        internal_[in.owned[k]].pressure = d1;
        out.channelPressure(in.owned[k], d1);
      }
      break;
    case kPitchBend:
      in.bend = d1 + 128 * d2;
      for (int k = 0; k < in.ownedCount; ++k) {
        internal_[in.owned[k]].bend = in.bend;
        out.pitchBend(in.owned[k], in.bend);
      }
      break;
    case kSystem:
      if (m.status() == 0xFF) {
        out.systemReset();
        reset();
      }
      break;
    default: break;  // a data byte where a status belongs: nothing to play
  }
}

void SynthChannels::noteOn(int channel, int key, int velocity, SynthVoices& out) {
  Incoming& in = incoming_[channel];
  const uint32_t selection = selectionOf(in);
  int chosen = -1;
  for (int k = 0; k < in.ownedCount && chosen < 0; ++k) {
    const Internal& ch = internal_[in.owned[k]];
    if (ch.selection == selection && !ch.down.has(key)) chosen = in.owned[k];
  }
  if (chosen < 0) chosen = take(channel, selection, out);
  Internal& ch = internal_[chosen];
  ch.down.add(key);
  ch.sustained.remove(key);  // struck again: the sustained voice gives way
  ch.lastUse = ++clock_;
  out.noteOn(chosen, key, velocity);
}

void SynthChannels::noteOff(int channel, int key, SynthVoices& out) {
  Incoming& in = incoming_[channel];
  const bool pedal = sustaining(in.controller[kSustain]);
  for (int k = 0; k < in.ownedCount; ++k) {
    Internal& ch = internal_[in.owned[k]];
    if (!ch.down.has(key)) continue;
    ch.down.remove(key);
    if (pedal) ch.sustained.add(key);
    ch.lastUse = ++clock_;
    out.noteOff(in.owned[k], key);
  }
}

void SynthChannels::controlChange(int channel, int controller, int value, SynthVoices& out) {
  Incoming& in = incoming_[channel];
  // Bank and pan choose the internal channel of the notes that follow.
  if (controller == kBankMsb || controller == kBankLsb || controller == kPanController) {
    in.controller[controller] = static_cast<uint8_t>(value);
    return;
  }
  if (controller == kResetAllControllers) {
    resetControllers(in.controller, in.bend, in.pressure);
  } else if (controller < kAllSoundOff) {
    in.controller[controller] = static_cast<uint8_t>(value);
    if (controller == kDataEntry && in.controller[kRpnMsb] == 0 && in.controller[kRpnLsb] == 0)
      in.bendRange = value;
  }
  const bool pedal = sustaining(in.controller[kSustain]);
  for (int k = 0; k < in.ownedCount; ++k) {
    const int i = in.owned[k];
    Internal& ch = internal_[i];
    sendControl(i, controller, value, out);
    if (controller == kAllSoundOff) {
      ch.down.clear();
      ch.sustained.clear();
    } else if (controller >= kAllNotesOff) {  // all notes off, and the mode changes that imply it
      if (pedal) {
        ch.sustained.bits[0] |= ch.down.bits[0];
        ch.sustained.bits[1] |= ch.down.bits[1];
      }
      ch.down.clear();
    } else if (!pedal) {
      ch.sustained.clear();  // the pedal is up (or was reset): nothing is held by it
    }
  }
}

void SynthChannels::sendControl(int i, int controller, int value, SynthVoices& out) {
  Internal& ch = internal_[i];
  out.control(i, controller, value);
  if (controller == kResetAllControllers) {
    resetControllers(ch.controller, ch.bend, ch.pressure);
  } else if (controller < kAllSoundOff) {
    ch.controller[controller] = static_cast<uint8_t>(value);
    if (controller == kDataEntry && ch.controller[kRpnMsb] == 0 && ch.controller[kRpnLsb] == 0)
      ch.bendRange = value;
  }
}

void SynthChannels::resetControllers(Controllers& controller, int& bend, int& pressure) {
  for (int c = 0; c < kAllSoundOff; ++c)
    if (!keptByReset(c)) controller[c] = 0;
  for (int c = kNrpnLsb; c <= kRpnMsb; ++c) controller[c] = 127;
  controller[kExpression] = controller[kExpression + 32] = 127;
  bend = 8192;
  pressure = 0;
}

int SynthChannels::take(int channel, uint32_t selection, SynthVoices& out) {
  const int n = internalCount();
  int chosen = -1;
  if (internal_[channel].owner < 0) chosen = channel;
  for (int i = 0; i < n && chosen < 0; ++i)
    if (internal_[i].owner < 0) chosen = i;
  if (chosen < 0) {
    // The least recently used channel with nothing held; failing that, the
    // least recently used of all, released first.
    int idle = -1, any = -1;
    for (int i = 0; i < n; ++i) {
      const Internal& ch = internal_[i];
      if (any < 0 || ch.lastUse < internal_[any].lastUse) any = i;
      if (ch.down.empty() && ch.sustained.empty() &&
          (idle < 0 || ch.lastUse < internal_[idle].lastUse))
        idle = i;
    }
    chosen = idle >= 0 ? idle : any;
    if (idle < 0) {
      releaseChannel(chosen, out);
      ++stolen_;
    }
  }
  prepare(chosen, channel, selection, out);
  return chosen;
}

void SynthChannels::releaseChannel(int i, SynthVoices& out) {
  Internal& ch = internal_[i];
  if (sustaining(ch.controller[kSustain])) sendControl(i, kSustain, 0, out);
  sendControl(i, kAllNotesOff, 0, out);
  ch.down.clear();
  ch.sustained.clear();
}

void SynthChannels::prepare(int i, int channel, uint32_t selection, SynthVoices& out) {
  Internal& ch = internal_[i];
  Incoming& in = incoming_[channel];
  if (ch.owner != channel) {
    if (ch.owner >= 0) {
      Incoming& before = incoming_[ch.owner];
      for (int k = 0; k < before.ownedCount; ++k) {
        if (before.owned[k] != i) continue;
        before.owned[k] = before.owned[--before.ownedCount];
        break;
      }
    }
    in.owned[in.ownedCount++] = static_cast<uint16_t>(i);
    ch.owner = channel;
  }
  ch.selection = selection;

  const bool drums = channel == kPercussion;
  if (ch.drums != drums) {
    out.setDrums(i, drums);
    ch.drums = drums;
  }
  // Drum kits live in bank 128; a melodic bank is the one the sender's bank
  // select chose (its first byte, as the synthesiser reads bank selects).
  out.bankSelect(i, drums ? 128 : in.controller[kBankMsb]);
  out.programChange(i, in.program);

  for (int c = 0; c < kAllSoundOff; ++c)
    if (replayed(c) && ch.controller[c] != in.controller[c])
      sendControl(i, c, in.controller[c], out);
  if (ch.controller[kPanController] != in.controller[kPanController])
    sendControl(i, kPanController, in.controller[kPanController], out);
  if (ch.bendRange != in.bendRange) {
    sendControl(i, kRpnMsb, 0, out);
    sendControl(i, kRpnLsb, 0, out);
    sendControl(i, kDataEntry, in.bendRange, out);
    sendControl(i, kDataEntry + 32, 0, out);
  }
  if (ch.controller[kRpnMsb] != in.controller[kRpnMsb])
    sendControl(i, kRpnMsb, in.controller[kRpnMsb], out);
  if (ch.controller[kRpnLsb] != in.controller[kRpnLsb])
    sendControl(i, kRpnLsb, in.controller[kRpnLsb], out);
  if (ch.bend != in.bend) {
    ch.bend = in.bend;
    out.pitchBend(i, in.bend);
  }
  if (ch.pressure != in.pressure) {
    ch.pressure = in.pressure;
    out.channelPressure(i, in.pressure);
  }
}

void SynthChannels::releaseAll(SynthVoices& out) {
  for (Incoming& in : incoming_) in.controller[kSustain] = 0;
  for (int i = 0; i < internalCount(); ++i)
    if (internal_[i].owner >= 0) releaseChannel(i, out);
}

int SynthChannels::usedBy(int channel) const { return incoming_[channel & 0x0F].ownedCount; }

int SynthChannels::soundingKeys() const {
  int n = 0;
  for (const Internal& ch : internal_) n += ch.down.count() + ch.sustained.count();
  return n;
}

}  // namespace zt
