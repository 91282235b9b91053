#pragma once

#include <QString>

namespace vantrel {

enum class Icon { None, Information, Critical, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// Tags the few questions that an unattended run must answer differently from "Yes".
enum class MessageId { Other, OpenJournal, SaveListAfterDeployment };

struct Message {
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer defaultAnswer = Answer::Ok;
    MessageId id = MessageId::Other;
};

} // namespace vantrel
