#pragma once

#include <QString>

// The folder the program treats as its own: $VOCAMO_HOME when set and not empty,
// otherwise the folder of the running executable. No trailing slash.
QString ExecutableFolder();

// The executable's file name without its extension ("vocamo").
QString ExecutableBaseName();
