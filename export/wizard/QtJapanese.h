#pragma once
// Qt's own texts in Japanese (the standard buttons read はい / いいえ / OK),
// as on the Japanese desktop the wizard is written for, whatever the
// process's locale.
class QTranslator;

namespace lumo::wizard {

// Loads Qt's Japanese translation into `translator` and installs it in the
// application. Returns false (and Qt keeps its English texts) when the
// translation is not installed.
bool installJapaneseQtTexts(QTranslator& translator);

}  // namespace lumo::wizard
