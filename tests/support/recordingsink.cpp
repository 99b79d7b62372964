#include "recordingsink.h"

#include "render/messagetext.h"

QStringList RecordingSink::allMessages() const
{
    QStringList all;
    for (const auto& r : rows)
        all += kova::htmlLines(r.messages);
    return all;
}

QStringList RecordingSink::boxTexts() const
{
    QStringList texts;
    for (const auto& b : boxes)
        texts.append(b.second);
    return texts;
}
