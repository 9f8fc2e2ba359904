#include "list/BatchReport.h"

namespace lintervale {

TMessage TBatchReport::Summary() const {
    TMessage summary;
    const auto part = [&summary](const TMessage& Text) {
        if (!summary.Empty()) {
            summary += TMessage::Verbatim(", ");
        }
        summary += Text;
    };
    if (m_Added > 0) {
        part(TMessage::Counted(TranslatableCounted("Message", "%n added"),
                               TranslatableCounted("Message", "%n added"), m_Added));
    }
    if (m_Listed > 0) {
        part(TMessage::Counted(TranslatableCounted("Message", "%n already listed"),
                               TranslatableCounted("Message", "%n already listed"), m_Listed));
    }
    if (!m_Refusals.empty()) {
        part(TMessage::Counted(TranslatableCounted("Message", "%n refused"),
                               TranslatableCounted("Message", "%n refused"), RefusedCount()));
    }
    if (summary.Empty()) {
        summary = TMessage(Translatable("Message", "Nothing was added."));
    }
    return summary;
}

TMessage TBatchReport::Details() const {
    TMessage details;
    for (std::size_t i = 0; i < m_Refusals.size(); ++i) {
        if (i > 0) {
            details += TMessage::Verbatim("\n");
        }
        details += TMessage::Verbatim(m_Refusals[i].Item + ": ") + m_Refusals[i].Why;
    }
    return details;
}

} // namespace lintervale
