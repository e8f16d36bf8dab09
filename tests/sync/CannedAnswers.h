#pragma once

// Answers of the canned-answer server for the operation tests.

inline constexpr char DueWordsAnswer[] = R"({"code":0,"data":[
            {"Word_Type":1,"Category_ID":0,"Book_ID":1,"Word_ID":10,"Word_Content":"x"},
            {"Word_Type":3,"Category_ID":0,"Book_ID":1,"Word_ID":11,"Vocamo_Ability":4,"Vocamo_Count":2,
             "Vocamo_Round":1,"Vocamo_Time":8640,"Word_Content":"意思","Word_Symbol":"null",
             "Word_Example":"null","Word_Translate":"t"},
            {"Word_Type":3,"Category_ID":0,"Book_ID":1,"Word_ID":12,"Word_Content":"it's","Word_Symbol":"[s]",
             "Word_Example":"An example.","Word_Translate":"例子"}]})";

inline constexpr char CatalogueAnswer[] = R"({"code":0,"data":[
            {"List_ID":"a1","List_PID":"ROOT","List_Title":"A","List_Sequence":1},
            {"List_ID":"b","List_PID":"A1","List_Title":"B","List_Sequence":2},
            {"List_ID":"c","List_PID":"a1","List_Title":"C","List_Sequence":3},
            {"List_ID":"x","List_PID":"nowhere","List_Title":"X","List_Sequence":4},
            {"List_ID":"l1","List_PID":"l2","List_Title":"L1","List_Sequence":5},
            {"List_ID":"l2","List_PID":"l1","List_Title":"L2","List_Sequence":6},
            {"List_ID":7,"List_PID":"root","List_Title":"Seven","List_Sequence":7}]})";

inline constexpr char ChapterQuestionsAnswer[] = R"({"code":0,"data":{
            "Acquainted":[{"QuestionID":1,"TotalScore":0,"AnswerScore":3,"LastDate":100,"Hardness":2},
                          {"QuestionID":2,"TotalScore":2.5,"AnswerScore":1,"LastDate":41000}],
            "Strange":[{"QuestionID":3,"TotalScore":9,"AnswerScore":9,"Hardness":2}]}})";

