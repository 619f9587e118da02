# Writes the settings file of the demo application folder: the game folder is the demo game.
# Run only while the file is missing, so choices made in the window stay.
file(WRITE "${SETTINGS}" "[Game]\nGameDir=${GAME}\n")
