#pragma once
// Every configuration key the program asks for, with its default. A key's
// default stands here and nowhere else; two keys whose uses keep different
// defaults ("EDUCATION", "MENU HELP") have one entry per use.
#include <QStringView>

namespace orbino {

struct ConfigKey {
    QStringView key;
    QStringView def;
};

namespace keys {

inline constexpr ConfigKey PathTemp{u"PATH TEMP", u""};
inline constexpr ConfigKey Temp{u"TEMP", u" Neexistuje pracovný adresár"};
inline constexpr ConfigKey TrimButtonLargeText{u"TRIM BUTTON LARGE TEXT", u"25"};
inline constexpr ConfigKey TrimButtonSmallText{u"TRIM BUTTON SMALL TEXT", u"26"};
inline constexpr ConfigKey End{u"END", u"Chcete ukončiť program ?"};
inline constexpr ConfigKey BlockedTree2{u"BLOCKED TREE2", u"Zavrieť vyhľadávacie okno ?"};
inline constexpr ConfigKey SaveMemoQ{u"SAVE MEMO?", u" Chcete uložiť memo?"};
inline constexpr ConfigKey Ip{u"IP", u" IP adresa počítača"};
inline constexpr ConfigKey IpNone{u"IP NONE", u" Počítač nie je zapojený v sieti"};
inline constexpr ConfigKey Name{u"NAME", u"Kelvora pre základné školy"};
// subtitle of the main window
inline constexpr ConfigKey Education{u"EDUCATION", u"ZORVANTA"};
// subtitle of a level window
inline constexpr ConfigKey EducationLevel{
    u"EDUCATION", u"VÝUKOVÝ PROGRAM: Kelvora pre základné školy - Zorvanta"};
inline constexpr ConfigKey ColorTitle{u"COLOR TITLE", u"0"};
inline constexpr ConfigKey ButtonNotes{u"BUTTON NOTES", u"Poznámky"};
inline constexpr ConfigKey Http{u"HTTP", u"Odkazy:"};
inline constexpr ConfigKey MyHttp{u"MY HTTP", u"Vlastné odkazy:"};
inline constexpr ConfigKey MenuOwnself{u"MENU OWNSELF", u"Vlastné"};
inline constexpr ConfigKey MenuNotes{u"MENU NOTES", u"Poznámky"};
inline constexpr ConfigKey MenuHttp{u"MENU HTTP", u"Odkazy"};
inline constexpr ConfigKey MenuCopy{u"MENU COPY", u"Kopírovanie"};
// the help menu
inline constexpr ConfigKey MenuHelp{u"MENU HELP", u"Pomocník"};
// caption of the help window
inline constexpr ConfigKey MenuHelpWindow{u"MENU HELP", u"O aplikácii"};
inline constexpr ConfigKey MenuEdit{u"MENU EDIT", u"Editácia"};
inline constexpr ConfigKey MenuEditMemo{u"MENU EDIT MEMO", u"Editácia textu"};
inline constexpr ConfigKey MenuEditLesson{u"MENU EDIT LESSON", u"Editácia lekcie"};
inline constexpr ConfigKey MenuIgnoreMemo{u"MENU IGNORE MEMO", u"Ignorovať zmeny"};
inline constexpr ConfigKey MenuHelps{u"MENU HELPS", u"Help"};
inline constexpr ConfigKey MenuTree{u"MENU TREE", u"Strom"};
inline constexpr ConfigKey MenuAbout{u"MENU ABOUT", u"O aplikácii"};
inline constexpr ConfigKey MenuAboutProgram{u"MENU ABOUT PROGRAM", u"O programe"};
inline constexpr ConfigKey MenuAboutWriteUs{u"MENU ABOUT WRITE US", u"Ohlasy autorom"};
inline constexpr ConfigKey MenuAboutCopyright{u"MENU ABOUT COPYRIGHT", u"Ochranné známky"};
inline constexpr ConfigKey MenuEnd{u"MENU END", u"Koniec"};
inline constexpr ConfigKey MemoInfo{
    u"MEMO INFO",
    u"Vyznačte text a pravým tlačidlom myši sa dostanete do nastavenia formátu písma"};
inline constexpr ConfigKey BackButtonCaption{u"BACK BUTTON CAPTION", u"Späť"};
inline constexpr ConfigKey EndButtonCaption{u"END BUTTON CAPTION", u"Koniec"};
inline constexpr ConfigKey WindowCaption{u"WINDOW CAPTION", u"Kelvora pre základné školy"};
inline constexpr ConfigKey SearchEndButtonCaption{u"SEARCH END BUTTON CAPTION",
                                                  u"Koniec vyhľadávania"};
inline constexpr ConfigKey SearchWindowCaption{u"SEARCH WINDOW CAPTION", u"Vyhľadávacie okno"};
inline constexpr ConfigKey FontsizeButton{u"FONTSIZE BUTTON", u"10"};
inline constexpr ConfigKey FontsizeMemo{u"FONTSIZE MEMO", u"10"};
inline constexpr ConfigKey WwwDefault{u"WWW DEFAULT", u"https://www.debian.org/"};
inline constexpr ConfigKey ButtonExam{u"BUTTON EXAM", u"Vyskúšajte sa"};
inline constexpr ConfigKey Dimensions{u"DIMENSIONS", u"Rozmery okna v CONFIG.TXT sú príliš malé!"};
inline constexpr ConfigKey DefaultContent{u"DEFAULT CONTENT", u"Obsah.txt"};
inline constexpr ConfigKey Content{u"CONTENT", u"Neexistuje"};
inline constexpr ConfigKey Text1{u"TEXT1", u"Neexistuje textový súbor"};
inline constexpr ConfigKey Text2{u"TEXT2", u"Chcete ho teraz vytvoriť ?"};
inline constexpr ConfigKey Nonexe{u"NONEXE", u" - Program sa nedá spustiť"};
inline constexpr ConfigKey Nonfile{u"NONFILE", u" - súbor neexistuje"};
// a Windows program (or player) where Wine is not installed
inline constexpr ConfigKey NoWine{u"NO WINE", u" - je program pre Windows. Na tomto počítači ho "
                                              u"spustí balík wine, ktorý nie je nainštalovaný."};
inline constexpr ConfigKey Scplayer{u"SCPLAYER", u"Neexistuje SCPLAYER"};
inline constexpr ConfigKey Scm{u"SCM", u"Neexistuje ukážka .scm"};
inline constexpr ConfigKey Bmp{u"BMP", u"Neexistuje súbor obrázku"};
inline constexpr ConfigKey WindowPicture{u"WINDOW PICTURE", u"Obrázok"};
inline constexpr ConfigKey WindowPictureClose{u"WINDOW PICTURE CLOSE", u"Zavri"};
inline constexpr ConfigKey MenuSaveMemo{u"MENU SAVE MEMO", u" Uloženie textu"};
inline constexpr ConfigKey Uneditable{u"UNEDITABLE", u" Nemáte práva na zápis do adresára"};
inline constexpr ConfigKey InputPassword{u"INPUT PASSWORD", u"Zadaj heslo"};
inline constexpr ConfigKey WindPasswordOk{u"WIND PASSWORD OK", u"OK"};
inline constexpr ConfigKey WindPasswordCancel{u"WIND PASSWORD CANCEL", u"Zruš"};
inline constexpr ConfigKey IncorrectPassword{u"INCORRECT PASSWORD", u"Nesprávne heslo"};
inline constexpr ConfigKey EditableMemo{u"EDITABLE MEMO",
                                        u"Najskôr musíte ukončiť editáciu textu, uložte text"};
inline constexpr ConfigKey WindowEditlect{u"WINDOW EDITLECT", u"Editácia lekcie"};
inline constexpr ConfigKey WindowEditlectSave{u"WINDOW EDITLECT SAVE", u"Ulož"};
inline constexpr ConfigKey WindowEditlectCancel{u"WINDOW EDITLECT CANCEL", u"Zruš zmeny"};
inline constexpr ConfigKey CorrectionText2{u"CORRECTION TEXT2", u"Editácia textu"};
inline constexpr ConfigKey CorrectionText1{u"CORRECTION TEXT1", u"Texty opravujte cez"};
inline constexpr ConfigKey WindowNotesSave{u"WINDOW NOTES SAVE", u"Ulož"};
inline constexpr ConfigKey WindowNotesCancel{u"WINDOW NOTES CANCEL", u"Zruš zmeny"};
inline constexpr ConfigKey WindowNotesErase{u"WINDOW NOTES ERASE", u"Vymaž poznámku"};
inline constexpr ConfigKey WindowNotesEnd{u"WINDOW NOTES END", u"Koniec"};
inline constexpr ConfigKey SaveNote{u"SAVE NOTE", u"Poznámka je uložená do"};
inline constexpr ConfigKey EraseNotes{u"ERASE NOTES",
                                      u"Naozaj chcete vymazať poznámku ??? Nonono !"};
inline constexpr ConfigKey SaveNoteQ{u"SAVE NOTE?", u"Uložiť poznámku?"};
inline constexpr ConfigKey SaveWww{u"SAVE WWW", u"Stránka je uložená do "};
inline constexpr ConfigKey WindowHttpAdd{u"WINDOW HTTP ADD", u"Pridaj/Oprav odkaz"};
inline constexpr ConfigKey WindowHttpList{u"WINDOW HTTP LIST", u"Zoznam:"};
inline constexpr ConfigKey WindowHttpSave{u"WINDOW HTTP SAVE", u"Ulož"};
inline constexpr ConfigKey WindowHttpEdit{u"WINDOW HTTP EDIT", u"Oprav"};
inline constexpr ConfigKey WindowHttpCancel{u"WINDOW HTTP CANCEL", u"Zruš zmeny"};
inline constexpr ConfigKey WindowHttpErase{u"WINDOW HTTP ERASE", u"Vymaž odkaz"};
inline constexpr ConfigKey WindowHttpEnd{u"WINDOW HTTP END", u"Koniec"};
inline constexpr ConfigKey SaveHttp{u"SAVE HTTP", u"Pridať napísaný odkaz ?"};
inline constexpr ConfigKey WindowCopy{u"WINDOW COPY", u"Kopírovanie"};
inline constexpr ConfigKey WindowCopyLabel{u"WINDOW COPY LABEL", u"Kopírovanie"};
inline constexpr ConfigKey WindowCopyMaska{
    u"WINDOW COPY MASKA", u"Zobrazujú sa iba súbory poznámok (*.txt) a odkazov (*.htm)"};
inline constexpr ConfigKey WindowCopyClose{u"WINDOW COPY CLOSE", u"Koniec"};
inline constexpr ConfigKey WindowSearchFind{u"WINDOW SEARCH FIND", u"Hľadaj text"};
inline constexpr ConfigKey WindowSearchShow{u"WINDOW SEARCH SHOW", u"Zobraz okno"};
inline constexpr ConfigKey WindowSearchNext{u"WINDOW SEARCH NEXT", u"Hľadaj ďalej"};
inline constexpr ConfigKey MenuSearch{u"MENU SEARCH", u"Hľadaj"};
inline constexpr ConfigKey WindowTree{u"WINDOW TREE", u"Návrat"};
inline constexpr ConfigKey Nothing{u"NOTHING", u"Nemám čo hladať "};
inline constexpr ConfigKey NotFound{u"NOT FOUND", u"Nenašlo "};
inline constexpr ConfigKey Text{u"TEXT", u"Neexistuje textový súbor"};
inline constexpr ConfigKey BlockedTree1{u"BLOCKED TREE1",
                                        u"Vo vyhľadávacom okne sa nedá znovu vyhľadávať."};
inline constexpr ConfigKey MenuIntegrity{u"MENU INTEGRITY", u"Kontrola integrity"};
inline constexpr ConfigKey CloseControl{u"CLOSE CONTROL", u"Koniec kontroly"};
inline constexpr ConfigKey MissingFiles{u"MISSING FILES",
                                        u"Zoznam chýbajúcich a zacyklenych súborov"};
inline constexpr ConfigKey AllAround{u"ALL AROUND", u" zacyklený súbor :"};

} // namespace keys
} // namespace orbino
