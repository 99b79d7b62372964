#pragma once

#include <QString>

// The bash completion script of kova-export, written from its table of
// options: the commands, the options each takes, their choices and the files
// they name.
QString completionScript();
