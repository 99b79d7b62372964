#pragma once

#include <QString>

// A message line as a terminal shows it: tags removed, character references
// (&amp; &lt; &gt; &quot; &#39; and numeric ones) decoded. Anything else that
// starts with "&" is kept as it is.
QString plainText(const QString& html);
