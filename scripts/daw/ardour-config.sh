# Writes Ardour 7's user configuration for the checks: Dummy engine started on its own, the plug-in
# folder given, no first-run dialog, no network look-ups. Usage: ardour_config PLUGIN_FOLDER
ardour_config() {
  local dir="$HOME/.config/ardour7"
  mkdir -p "$dir"
  touch "$dir/.a7" # Ardour's mark that it has run before: no first-run dialog
  cat >"$dir/config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
    <Option name="plugin-path-lxvst" value="$1"/>
    <Option name="use-lxvst" value="1"/>
    <Option name="discover-plugins-on-start" value="0"/>
    <Option name="check-announcements" value="0"/>
    <Option name="periodic-safety-backups" value="0"/>
    <Option name="new-plugins-active" value="1"/>
    <Option name="plugin-cache-version" value="7002"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="" output-device="" sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1" use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML
}
