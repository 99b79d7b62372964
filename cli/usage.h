#pragma once

#include <QString>

// The one-line synopsis shown after every usage error.
QString usageLine();

// The whole command-line contract, printed by --help.
QString helpText();
