"""Starts the Orca screen reader with its debug log in a file of our own.

Orca's own command refuses to start while another Orca of the same user
runs (other end-to-end runs, or a person's) unless told to replace it,
which would end that one. This starts the same Orca, bound to the private
desktop whose accessibility bus is in the environment, and leaves every
other Orca alone.
    orca_launch.py LOG_FILE PREFERENCES_FOLDER
"""
import sys

log, prefs = sys.argv[1], sys.argv[2]

from orca import debug  # noqa: E402

debug.debugLevel = debug.LEVEL_INFO
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(log, "w", buffering=1, encoding="utf-8")

from orca import orca  # noqa: E402

manager = orca.getSettingsManager()
# No braille display here: braille off spares a failed connection per line.
manager.activate(prefs, {"enableBraille": False, "enableBrailleMonitor": False})
sys.path.insert(0, manager.getPrefsDir())
sys.exit(orca.main())
