// Resource ids shared by the program and its resource script.
#pragma once

#define IDI_PROGRAM        101
#define IDD_SHARED         104
#define IDD_WIZARD         106
#define IDB_PANEL          106
#define IDI_ANIMATION_FIRST 107

// The restart program, carried whole (type 300, id 30202)
#define RT_RESTART_PROGRAM  300
#define IDR_RESTART_PROGRAM 30202

// Wizard dialog controls
#define IDC_RADIO_FIRST    1000
#define IDC_RADIO_SECOND   1001
#define IDC_TOP_TEXT       1002
#define IDC_ITEM_LIST      1003
#define IDC_SECOND_TEXT    1004
#define IDC_PROGRESS_TEXT  1005
#define IDC_ANIMATION      1006
#define IDC_ACTION_TEXT    1007
#define IDC_PROGRESS_BAR   3830
#define IDC_BACK           5
#define IDC_SELECT_ALL     3
#define IDC_SELECT_NONE    4

// Shared-file prompt controls
#define IDC_SHARED_TEXT    1002
#define IDC_SHARED_YES            1005
#define IDC_SHARED_NO             1006
#define IDC_SHARED_YES_TO_ALL     1007

// Messages of the string table (see uninstal.rc for the texts)
#define MSG_LOG_FILTER        1
#define MSG_ERROR_CAPTION     2
#define MSG_LOG_NOT_OPENED    3
#define MSG_LOG_INVALID       4
#define MSG_UNINSTALL         25
#define MSG_CANCEL_QUESTION   59
#define MSG_ADMIN_WARNING     67
#define MSG_RESTART_QUESTION  68
#define MSG_OUT_OF_MEMORY     70
#define MSG_SWITCHES          71
#define MSG_PREVIEW_DONE      72
#define MSG_PREVIEW_UNWRITTEN 73
