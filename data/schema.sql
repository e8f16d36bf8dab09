-- Vocamo local store: every table the program reads and writes.
--
-- Types: INTEGER for integers (and day numbers), REAL for date-times (days since
-- 1899-12-30, fraction = time of day) and scores, BLOB for packed byte streams, and
-- TEXT COLLATE NOCASE for every text column: the program compares and sorts words
-- without regard to letter case, also with "=", "in" and "order by".
-- Running totals that statements increment in place ("X = X + n") default to 0 so
-- that a fresh row never turns the sum into NULL.

PRAGMA foreign_keys = OFF;

------------------------------------------------------------------------------
-- Word store
------------------------------------------------------------------------------

CREATE TABLE Feature (
  LIFE_MAJOR_VERSION INTEGER NOT NULL,
  LIFE_MINOR_VERSION INTEGER NOT NULL,
  LIFE_CLOUD_DIR     TEXT COLLATE NOCASE
);

CREATE TABLE USERS (
  USER_ID           INTEGER PRIMARY KEY,
  USER_NAME         TEXT COLLATE NOCASE NOT NULL,
  USER_PASSWORD     TEXT COLLATE NOCASE,
  Update_Dictionary INTEGER DEFAULT 0,
  User_Type         INTEGER DEFAULT 0,
  User_RealName     TEXT COLLATE NOCASE,
  User_Number       TEXT COLLATE NOCASE,
  Active_Sequence   INTEGER DEFAULT 0
);

CREATE TABLE USERBOOKS (
  USER_ID         INTEGER NOT NULL,
  BOOK_ID         INTEGER NOT NULL,
  BOOK_NAME       TEXT COLLATE NOCASE NOT NULL,
  SEQUENCE        INTEGER DEFAULT 0,
  Active_Sequence INTEGER DEFAULT 0,
  Deletable       INTEGER DEFAULT 0,
  Category        INTEGER DEFAULT 1,
  Hashcode        TEXT COLLATE NOCASE,
  RelationBook_ID INTEGER DEFAULT 0,
  PRIMARY KEY (USER_ID, BOOK_ID)
);
CREATE INDEX USERBOOKS_User_Sequence ON USERBOOKS (USER_ID, SEQUENCE);

CREATE TABLE TotalWords (
  WORD_ID         INTEGER PRIMARY KEY,
  WORD_NAME       TEXT COLLATE NOCASE NOT NULL,
  WORD_SYMBOL     TEXT COLLATE NOCASE,
  WORD_NEWSYMBOL  TEXT COLLATE NOCASE,
  WORD_TRANS      TEXT COLLATE NOCASE,
  WORD_EXPLAIN    TEXT COLLATE NOCASE,
  WORD_SYNONYMY   TEXT COLLATE NOCASE,
  WORD_ANTONYM    TEXT COLLATE NOCASE,
  WORD_ANALOPY    TEXT COLLATE NOCASE,
  WORD_AIDS       TEXT COLLATE NOCASE,
  WORD_GREANTONYM TEXT COLLATE NOCASE,
  WORD_AFFIX      TEXT COLLATE NOCASE,
  WORD_USAGE      INTEGER DEFAULT 0,
  WORD_EXAMPLE    TEXT COLLATE NOCASE,
  WORD_CLASS      TEXT COLLATE NOCASE,
  Example_Exist   INTEGER DEFAULT 0
);
CREATE INDEX TotalWords_Name ON TotalWords (WORD_NAME);

CREATE TABLE Dictionary (
  WORD_ID   INTEGER NOT NULL,
  WORD_NOTE BLOB
);
CREATE UNIQUE INDEX Dictionary_Word ON Dictionary (WORD_ID);

CREATE TABLE Example (
  WORD_ID        INTEGER NOT NULL,
  Example_Index  INTEGER NOT NULL,
  EngContent     BLOB,
  ChnTranslation TEXT COLLATE NOCASE,
  PRIMARY KEY (WORD_ID, Example_Index)
);

CREATE TABLE Irregular (
  WordName    TEXT COLLATE NOCASE NOT NULL,
  PastStyle   TEXT COLLATE NOCASE,
  FinishStyle TEXT COLLATE NOCASE
);
CREATE INDEX Irregular_Past   ON Irregular (PastStyle);
CREATE INDEX Irregular_Finish ON Irregular (FinishStyle);
CREATE INDEX Irregular_Word   ON Irregular (WordName);

-- Local copy of the account's due words. A row is identified by category, book and
-- word; the download appends whatever the server sends, so the three are indexed
-- rather than declared unique.
CREATE TABLE Vocamo (
  Vocamo_CategoryID  INTEGER NOT NULL,
  Vocamo_BookID      INTEGER NOT NULL,
  Vocamo_WordID      INTEGER NOT NULL,
  Vocamo_Ability     INTEGER DEFAULT 0,
  Vocamo_Count       INTEGER DEFAULT 0,
  Vocamo_Round       INTEGER DEFAULT 0,
  Vocamo_Time        REAL DEFAULT 0,
  Vocamo_Content     TEXT COLLATE NOCASE,
  Vocamo_Symbol      TEXT COLLATE NOCASE,
  Vocamo_Sentence    TEXT COLLATE NOCASE,
  Vocamo_Translation TEXT COLLATE NOCASE
);
CREATE INDEX Vocamo_Word ON Vocamo (Vocamo_WordID);
CREATE INDEX Vocamo_Identity ON Vocamo (Vocamo_CategoryID, Vocamo_BookID, Vocamo_WordID);

CREATE TABLE Relation (
  Relation_ID INTEGER NOT NULL,
  User_ID     INTEGER NOT NULL,
  Hardness    INTEGER DEFAULT 0,
  PRIMARY KEY (Relation_ID, User_ID)
);

CREATE TABLE RelationWord (
  User_ID      INTEGER NOT NULL,
  REFERENCE_ID INTEGER NOT NULL
);
CREATE INDEX RelationWord_User_Word ON RelationWord (User_ID, REFERENCE_ID);

CREATE TABLE LinkWords (
  User_ID INTEGER NOT NULL,
  Link_ID INTEGER NOT NULL
);
CREATE INDEX LinkWords_User_Word ON LinkWords (User_ID, Link_ID);

CREATE TABLE Interface (
  USER_ID  INTEGER NOT NULL,
  Style    INTEGER DEFAULT 0,
  SEQUENCE INTEGER DEFAULT 0,
  NUMBEREX INTEGER DEFAULT 0,
  EXPLAIN  TEXT COLLATE NOCASE,
  CHOICE   TEXT COLLATE NOCASE
);
CREATE INDEX Interface_User ON Interface (USER_ID, Style, SEQUENCE);

CREATE TABLE Tips (
  LayerID  INTEGER NOT NULL,
  LayerKey INTEGER NOT NULL,
  Title    TEXT COLLATE NOCASE,
  Caption  TEXT COLLATE NOCASE,
  HashCode TEXT COLLATE NOCASE,
  Sequence INTEGER DEFAULT 0,
  PRIMARY KEY (LayerID, LayerKey)
);

CREATE TABLE PressCount (
  UserID     INTEGER NOT NULL,
  LayerID    INTEGER NOT NULL,
  LayerKey   INTEGER NOT NULL,
  Visible    INTEGER DEFAULT 1,
  ClickCount INTEGER DEFAULT 0,
  Sequence1  INTEGER DEFAULT 0,
  PRIMARY KEY (UserID, LayerID, LayerKey)
);
CREATE INDEX PressCount_Layer ON PressCount (LayerID, LayerKey);

------------------------------------------------------------------------------
-- Exercises and exam papers
------------------------------------------------------------------------------

CREATE TABLE Question (
  QuestionID        INTEGER PRIMARY KEY,
  MaterialID        INTEGER DEFAULT 0,
  QNum1             INTEGER DEFAULT 0,
  QuestionType      INTEGER DEFAULT 0,
  Number            INTEGER DEFAULT 0,
  QuestionSuiteFlag INTEGER DEFAULT 0,
  QuestionOrder     INTEGER DEFAULT 0,
  KeyIndex          INTEGER DEFAULT 0,
  SubType           INTEGER DEFAULT 0,
  CharCount         INTEGER DEFAULT 0,
  Versatile         INTEGER DEFAULT 0,
  QuestionContent   TEXT COLLATE NOCASE,
  QuestionExplain   TEXT COLLATE NOCASE,
  QuestionKey       TEXT COLLATE NOCASE,
  HashCode          TEXT COLLATE NOCASE,
  QAnswerScore      REAL DEFAULT 0
);
CREATE INDEX Question_Material ON Question (MaterialID, Number);

CREATE TABLE Choice (
  QuestionID    INTEGER NOT NULL,
  ChoiceIndex   INTEGER NOT NULL,
  ChoiceContent TEXT COLLATE NOCASE,
  ChoiceStream  TEXT COLLATE NOCASE
);
CREATE INDEX Choice_Question ON Choice (QuestionID, ChoiceIndex);

CREATE TABLE Material (
  QuestionID INTEGER NOT NULL,
  Mp3        BLOB
);
CREATE INDEX Material_Question ON Material (QuestionID);

CREATE TABLE QuestionInfo (
  UserID      INTEGER NOT NULL,
  QuestionID  INTEGER NOT NULL,
  Hardness    INTEGER DEFAULT 0,
  AnswerCount INTEGER DEFAULT 0,
  TotalScore  REAL DEFAULT 0,
  AnswerScore REAL DEFAULT 0,
  LastDate    INTEGER DEFAULT 0
);
CREATE INDEX QuestionInfo_User_Question ON QuestionInfo (UserID, QuestionID);
CREATE INDEX QuestionInfo_Question ON QuestionInfo (QuestionID);

CREATE TABLE QuestionTypeInfo (
  UserID           INTEGER NOT NULL,
  QuestionType     INTEGER NOT NULL,
  QuestionSequence INTEGER DEFAULT 0,
  TypeName         TEXT COLLATE NOCASE,
  TypeDesc         TEXT COLLATE NOCASE,
  TypeScore        REAL DEFAULT 0,
  TypePartScore    REAL DEFAULT 0
);
CREATE INDEX QuestionTypeInfo_User_Type ON QuestionTypeInfo (UserID, QuestionType);

CREATE TABLE Suite (
  SuiteID    INTEGER PRIMARY KEY,
  UserID     INTEGER DEFAULT 0,
  Title      TEXT COLLATE NOCASE,
  HashCode   TEXT COLLATE NOCASE,
  Sequence   INTEGER DEFAULT 0,
  HaveAnswer INTEGER DEFAULT 0,
  ExtraCode  INTEGER DEFAULT 0,
  Examining  INTEGER DEFAULT 0,
  Hardness   INTEGER DEFAULT 0
);

CREATE TABLE SuiteQuestion (
  UserID           INTEGER NOT NULL,
  SuiteID          INTEGER NOT NULL,
  QuestionID       INTEGER NOT NULL,
  TypeSequence     INTEGER DEFAULT 0,
  Sequence         INTEGER DEFAULT 0,
  TotalScore       REAL DEFAULT 0,
  PartCorrectScore REAL DEFAULT 0
);
CREATE INDEX SuiteQuestion_Suite ON SuiteQuestion (SuiteID, QuestionID);
CREATE INDEX SuiteQuestion_Question ON SuiteQuestion (QuestionID);

CREATE TABLE AnswerSuite (
  ID         INTEGER PRIMARY KEY,
  UserID     INTEGER DEFAULT 0,
  SuiteID    INTEGER DEFAULT 0,
  TotalTime  INTEGER DEFAULT 0,
  FinishDate REAL DEFAULT 0,
  HashCode   TEXT COLLATE NOCASE,
  AMend      INTEGER DEFAULT 0,
  SHashCode  TEXT COLLATE NOCASE
);
CREATE INDEX AnswerSuite_Suite ON AnswerSuite (SuiteID);

CREATE TABLE Answer (
  UserID           INTEGER NOT NULL,
  SuiteID          INTEGER NOT NULL,
  QuestionID       INTEGER NOT NULL,
  AnswerKey        INTEGER DEFAULT 0,
  AnswerContent    TEXT COLLATE NOCASE,
  CorrectFlag      INTEGER DEFAULT 0,
  AnswerScore      REAL DEFAULT 0,
  TypeSequence     INTEGER DEFAULT 0,
  TotalScore       REAL DEFAULT 0,
  Sequence         INTEGER DEFAULT 0,
  PartCorrectScore REAL DEFAULT 0
);
CREATE INDEX Answer_Suite_Question ON Answer (SuiteID, QuestionID);

CREATE TABLE Student (
  ID          INTEGER PRIMARY KEY,
  AnswerScore REAL DEFAULT 0
);

------------------------------------------------------------------------------
-- Compositions and colour pens
------------------------------------------------------------------------------

CREATE TABLE Composition (
  ID           INTEGER PRIMARY KEY,
  ArticleID    INTEGER DEFAULT 0,
  UserID       INTEGER DEFAULT 0,
  Type         INTEGER DEFAULT 0,
  Sequence     INTEGER DEFAULT 0,
  WriteDate    REAL DEFAULT 0,
  Hashcode     TEXT COLLATE NOCASE,
  WriteContent TEXT COLLATE NOCASE
);
CREATE INDEX Composition_Article ON Composition (ArticleID, UserID, Type);

CREATE TABLE ColorPen (
  UserID   INTEGER NOT NULL,
  ID       INTEGER PRIMARY KEY,
  Title    TEXT COLLATE NOCASE,
  PenColor INTEGER DEFAULT 0,
  Sequence INTEGER DEFAULT 0
);
CREATE INDEX ColorPen_User_Sequence ON ColorPen (UserID, Sequence);

-- Background server requests not yet answered, in the order they were made: written
-- before they are sent, removed once the server answered, sent again at the next start.
CREATE TABLE IF NOT EXISTS PendingRequest (
  ID        INTEGER PRIMARY KEY AUTOINCREMENT,
  Operation TEXT NOT NULL,
  Body      TEXT NOT NULL,
  Created   REAL DEFAULT 0
);
