#pragma once

#include <QString>
#include <QtGlobal>

class QJsonObject;

// The signed-in account's settings. Colours are Windows colour values 0x00BBGGRR.
// Fields with an account key are filled from the account record at sign-in
// (ApplyAccount); the others keep their initial values or are set by the modes.
class TConfig
{
public:
    bool ShowExample = false;
    bool ShowCenter = false;         // User_ShowCenter
    bool ShowExampleTrans = false;   // User_ShowExampleTrans
    bool Pronounce = false;          // User_Pronounce
    bool ShowPicture = false;
    bool ShowChnTrans = false;
    bool ShowSymbol = false;
    bool ShowTipPanel = false;       // User_ShowTipPanel
    bool IsUpperCase = false;        // User_IsUpperCase
    bool Examining = false;          // User_Examining
    bool ShowToolBar = false;        // User_ShowToolBar
    bool UseDeskTop = false;         // User_UseDeskTop
    int Addition = 0;                // User_Addition
    int InitialState = 0;            // User_InitialVocamoState
    quint32 DeskTopColor = 0;        // User_DeskTopColor
    int StateValue4 = 0;             // -30000 after sign-in, never sent
    int FirstLineWidth = 0;          // User_FirstLineWidth
    int ReadingNote = 1;
    int MemoriseTime = 0;
    quint32 QuestionKeyColor = 0;    // User_QuestionKeyColor
    int ReadingFontSize = 0;
    quint32 QuestionAnswerColor = 0; // User_QuestionAnswerColor
    int GeneralFontSize = 0;         // User_GeneralFontSize
    int SecondValue = 0;             // User_SecondValue
    int JudgeTime = 0;
    int FirstValue = 0;              // User_FirstValue
    quint32 BookColor = 0;           // User_BookColor
    int FormWidth = 0;               // User_FormWidth
    int FormHeight = 0;              // User_FormHeight
    int CellHeight = 0;
    int CellWidth = 0;
    bool PronounceOnClick = true;
    quint32 FontColor = 0;
    quint32 PenColor = 0xFF0000;
    quint32 SecondFontColor = 0;
    int StateCount = 4;
    int RefillThreshold = 20;
    int RefillSize = 60;
    int RecentWindow = 8;
    bool AlwaysShowTrans = false;    // User_AlwaysShowTrans
    quint32 FrameColor = 0;
    int SpellOption1 = 0;
    int SpellOption2 = 0;
    int DictationInterval = 5000;
    int Speed = 0;                   // User_Speed

    // Copies the settings keys of the account record into the keyed fields. A key that
    // is missing, null or not readable as its type gives the field its default; values
    // below a field's minimum are raised to it. StateValue4 becomes -30000.
    void ApplyAccount(const QJsonObject &userInfo);

    // The settings dialog's state chooser lists "牢记", "熟悉", "认识", "陌生": it shows
    // item InitialState mod 11 and stores the chosen item, item 0 as 11.
    static int StateFromItem(int item);
    static int ItemFromState(int state);

    // The dialog's width and height texts as stored: at least 920 and 728, and 990 and
    // 818 when the text is not a whole number.
    static int FormWidthFromText(const QString &text);
    static int FormHeightFromText(const QString &text);

    // The account record's integer under key (whole numbers, numeric texts and
    // booleans as 0/1), or fallback when missing, null or unreadable.
    static int AccountInt(const QJsonObject &userInfo, QLatin1String key, int fallback);
    // The account record's boolean under key (booleans, numbers as non-zero, texts
    // "true"/"false" or numbers), or fallback.
    static bool AccountBool(const QJsonObject &userInfo, QLatin1String key, bool fallback);
};
