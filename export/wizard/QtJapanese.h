#pragma once
// Qt's own texts in Japanese (the standard buttons read はい / いいえ / OK)
// and a Japanese font for every text, as on the Japanese desktop the
// wizard is written for, whatever the process's locale.
class QString;
class QTranslator;

namespace lumo::wizard {

// Loads Qt's Japanese translation into `translator` and installs it in the
// application. Returns false (and Qt keeps its English texts) when the
// translation is not installed.
bool installJapaneseQtTexts(QTranslator& translator);

// Makes a Japanese font the application's font, at the size Qt chose.
// Under another locale Qt's default face has no kanji, and the fallback
// for them is whichever CJK face comes first (often a Chinese one), so
// kanji and kana came out in different faces. Returns the family chosen,
// or "" (and the font stays) when no Japanese font is installed. Call it
// after the QApplication is made, before any window.
QString useJapaneseFont();

}  // namespace lumo::wizard
