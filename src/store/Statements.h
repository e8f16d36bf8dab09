#pragma once

#include <QString>

// The statements that read and write the word store, as printf-style format texts.
// Values put in for "%s" inside quotes must first go through SqlQuoted.
namespace Statements {

inline constexpr char Feature[] = "select * from Feature ";
inline constexpr char Users[] = "select * from USERS order by User_ID";
inline constexpr char UserIds[] = "select USER_ID from USERS";
inline constexpr char UserBooks[] =
    "select * from USERBOOKS where Deletable <> 2 and USER_ID = %d Order by SEQUENCE";
inline constexpr char LookupWords[] = "select * from Totalwords ";
inline constexpr char SaveExample[] =
    "select WORD_EXAMPLE, WORD_CLASS, Word_ID from TotalWords where Word_ID = %d ";
inline constexpr char ReloadTexts[] =
    "select Word_Trans, Word_Example, WORD_CLASS from TotalWords where Word_ID = %d";
inline constexpr char WordNote[] = "select WORD_NOTE from Dictionary where WORD_ID = %d ";
inline constexpr char ExplainCount[] =
    "select Count(*) as ExplainCount from Dictionary where WORD_ID = %d ";
inline constexpr char Examples[] =
    "select EngContent, ChnTranslation from Example where WORD_ID = %d order by Example_Index ASC";
inline constexpr char ExampleCount[] =
    "select Count(*) as ExampleCount from Example where WORD_ID = %d ";
inline constexpr char Irregular[] =
    "select WordName from Irregular where PastStyle = '%s' or FinishStyle = '%s'";

// The due-word page: the account's due words joined with their content.
inline constexpr char DuePage[] =
    "select Vocamo_Ability, Vocamo_Round, Vocamo_BookID, TotalWords.WORD_NAME, Vocamo_Symbol, "
    "Vocamo_Content, WORD_SYMBOL, Word_Trans,  Vocamo_Sentence, Vocamo_WordID, "
    "Vocamo_Translation, WORD_EXPLAIN, WORD_AIDS, WORD_GREANTONYM, WORD_ANALOPY, WORD_USAGE, "
    "WORD_NEWSYMBOL,  WORD_SYNONYMY, WORD_ANTONYM, 0 as Relation_Count, Vocamo_Count, "
    "Vocamo_Time, Vocamo_CategoryID, WORD_EXAMPLE, WORD_CLASS, Example_Exist  from Vocamo, "
    "TotalWords where (Vocamo_WordID = WORD_ID) ";

// The word list: the due-page column set from TotalWords alone, with constants for the
// due-word columns, so one loader reads both. Followed by one of the three endings.
inline constexpr char WordList[] =
    "select 0 as Vocamo_Time, 0 as Vocamo_Ability, 0 as Vocamo_Round, 1 as Vocamo_BookID, "
    "WORD_NAME, WORD_SYMBOL, WORD_TRANS, WORD_USAGE, WORD_NEWSYMBOL, WORD_SYNONYMY, "
    "WORD_ANTONYM, 0 as state, 0 as ability2, 0 as state2, 0 as ability3, 0 as state3, "
    "12 as Speed, 0 as Real_Date, 0 as Vocamo_Count,  WORD_EXAMPLE, TotalWords.WORD_ID as "
    "Vocamo_WordID, WORD_CLASS,  WORD_EXPLAIN, WORD_AIDS, WORD_GREANTONYM, WORD_ANALOPY, "
    "0 as Vocamo_CategoryID,  0 as Relation_Count, '' as Vocamo_Symbol, '' as Vocamo_Content, "
    "'' as Vocamo_Sentence, '' as Vocamo_Translation, Example_Exist   from TotalWords";
inline constexpr char WordListByNames[] = "  where (%s) order by WORD_ID";
inline constexpr char WordListBySearch[] = " where (%s) order by WORD_ID";
inline constexpr char WordListByName[] = " where Word_Name = '%s' order by WORD_ID";

inline constexpr char DeleteDueWord[] =
    "delete from Vocamo where Vocamo_CategoryID = %d and Vocamo_BookID = %d and Vocamo_WordID = %d";
inline constexpr char DeleteDueWords[] = "delete from Vocamo";
inline constexpr char DueWords[] = "select * from Vocamo";

inline constexpr char Relation[] = "select * from Relation where Relation_ID = %s and User_ID = %d";
inline constexpr char RelationHardness[] =
    "select Hardness from Relation where Relation_ID = %s and User_ID = %d";
inline constexpr char RelationWordCount[] =
    "select count(*) as Relation_Count from RelationWord where User_ID = %d and REFERENCE_ID = %d";
inline constexpr char LinkWordCount[] =
    "Select count(*) as Relation_Count from LinkWords where User_ID = %d and Link_ID = %d";

inline constexpr char Layout[] =
    "select NUMBEREX, SEQUENCE, CHOICE, EXPLAIN from Interface where USER_ID = %d  order by SEQUENCE";
inline constexpr char DeleteLayout[] = "delete from Interface where USER_ID = %d and Style = %d";
inline constexpr char InsertLayout[] =
    "insert into Interface(NUMBEREX, USER_ID, Style, SEQUENCE, CHOICE, EXPLAIN)  "
    "Values( %d ,%d, %d, %d,'%s', '%s')";

// Tips of a layer for a user: the shown ones in the user's order, and the hidden ones
// (the "more" list) most used first.
inline constexpr char VisibleTips[] =
    "select Tips.LayerKey, Title, Caption, HashCode from Tips, PressCount where "
    "Tips.LayerID = PressCount.LayerID  and Tips.LayerKey = PressCount.LayerKey and "
    "Tips.LayerID = %d and UserID = %d  and Visible = 1 order by Sequence1 ASC ";
inline constexpr char HiddenTips[] =
    "select Tips.LayerKey, Title, Caption, HashCode from Tips, PressCount where "
    "Tips.LayerID = PressCount.LayerID  and Tips.LayerKey = PressCount.LayerKey and "
    "Tips.LayerID = %d and UserID = %d  and Visible = 0 order by ClickCount DESC, Sequence ASC ";

} // namespace Statements

// text with every single quote doubled, for use inside a quoted SQL literal.
inline QString SqlQuoted(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('\''), QLatin1String("''"));
    return result;
}
