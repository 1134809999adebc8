#pragma once
// Test implementations of the progress and help seams: they record what they
// were told and install themselves for their lifetime.
#include "platform/Help.h"
#include "platform/Progress.h"

#include <QList>
#include <QString>

namespace tlv::test {

class RecordingProgress : public Progress
{
public:
    RecordingProgress() { setProgress(this); }
    ~RecordingProgress() override { setProgress(nullptr); }

    void showStatus(const QString &caption) override { events << QStringLiteral("status:") + caption; }
    void showProgress(int percent) override { events << QStringLiteral("progress:%1").arg(percent); }

    QList<QString> events;
};

class RecordingHelp : public Help
{
public:
    RecordingHelp() { setHelp(this); }
    ~RecordingHelp() override { setHelp(nullptr); }

    void showTopic(int context) override { topics << context; }
    void showContents() override { topics << 0; }

    QList<int> topics; // 0 = contents
};

} // namespace tlv::test
