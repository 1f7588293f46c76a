#pragma once
// Qt's own texts in Japanese (the standard buttons read はい / いいえ / OK)
// and a Japanese font for every text, as on the Japanese desktop the
// wizard is written for, whatever the process's locale.
#include <optional>
#include <string_view>

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

// Both of the above, as every window program of the suite starts: call it
// once after the QApplication is made; `translator` must outlive the
// windows.
void makeApplicationJapanese(QTranslator& translator);

// What a window program answers before Qt starts, so that it works without
// a display (and its man page can be written from it): --help or -h prints
// `usage` to standard output, --version prints "NAME VERSION". Returns the
// exit code when it answered, nothing when the program goes on.
std::optional<int> answerWithoutWindows(int argc, char* argv[], std::string_view name, std::string_view version,
                                        std::string_view usage);

}  // namespace lumo::wizard
