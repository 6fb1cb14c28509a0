# ZT's soundfont loader, run by the console with sh at every start and kept
# in its working folder. The embedded synthesiser loads its SoundFont
# ($ZT_SOUNDFONT, else the system's General MIDI one) by itself, so loading
# here means reporting that SoundFont's presets in "caricati.txt", where the
# console takes the names of its programs from. Put a loader of your own in
# this file's place to report another synthesiser's presets.
zt-soundfont-report > caricati.tmp
status=$?
if [ "$status" -eq 127 ]; then
  # The report tool is not there: the report in use stays as it is.
  rm -f caricati.tmp
  exit "$status"
fi
mv -f caricati.tmp caricati.txt
exit "$status"
