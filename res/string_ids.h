#pragma once
// Ids of the program's string table (res/strings.rc).  The ids are part of
// the program's interface with its language files only through their English
// texts; the numbers themselves are shared with the menus, toolbars and the
// About box, which name them directly.

// About box labels.
#define IDS_COPYRIGHT 1376
#define IDS_MEMORY 1377
#define IDS_FREE_MEMORY 1379
#define IDS_OPERATING_SYSTEM 1380
#define IDS_VERSION_LABEL 1381
#define IDS_HOME 1382
#define IDS_SUPPORT 1383
#define IDS_ABOUT 1385

// MP3 encoder not configured.
#define IDS_MP3_CODEC_ERROR 1387
#define IDS_NO_MP3_ENCODER 1388

#define IDS_BROWSER_OPEN_FAILED 2002
#define IDS_BROWSER_ERROR 2003
#define IDS_FILE_EXISTS_REPLACE 2006
#define IDS_COPY 2007
#define IDS_DELETE 2008
#define IDS_FOLDER_EXISTS 2010
#define IDS_ERROR 2011
#define IDS_UNABLE_TO_OPEN_FILE 2012
#define IDS_FILE_ERROR 2013
#define IDS_HELP 2014

// Column headers of the file list and the track list.
#define IDS_COLUMN_FILE_ICON 2018
#define IDS_COLUMN_FILENAME 2019
#define IDS_COLUMN_SIZE 2020
#define IDS_COLUMN_DATE 2021
#define IDS_COLUMN_TRACK_ICON 2023
#define IDS_COLUMN_NAME 2024
#define IDS_COLUMN_LENGTH 2025
#define IDS_COLUMN_TRACK_NUMBER 2039

// Toolbar tooltips.
#define IDS_CREATE_DIRECTORY 2026
#define IDS_PASTE 2029
#define IDS_ONLINE_VERSION_CHECK 2034
#define IDS_REFRESH_CD 2038
#define IDS_RIP_SELECTED 2041
#define IDS_CUT 2086

#define IDS_INSTALL_ERROR 2035
#define IDS_UPGRADE_FAILED 2036
#define IDS_MOVE_FILE_FAILED 2066
#define IDS_UNKNOWN_TITLE 2067
#define IDS_UNKNOWN_ARTIST 2068
#define IDS_PROCESSING 2069
#define IDS_RIPPING_FINISHED 2070
#define IDS_SELECT_OUTPUT_FOLDER 2072
#define IDS_CONFIG_OPEN_FAILED 2073

// Rip result codes 1 to 7 map to IDS_RIP_ERROR_FIRST + code - 1.
#define IDS_RIP_ERROR_FIRST 2075
#define IDS_RIP_ERROR_LAME_DLL 2075
#define IDS_RIP_ERROR_BLADE_DLL 2076
#define IDS_RIP_ERROR_OPEN_OUTPUT 2077
#define IDS_RIP_ERROR_NO_MEMORY 2078
#define IDS_RIP_ERROR_ENCODER 2079
#define IDS_RIP_ERROR_CD_READ 2080
#define IDS_RIP_ERROR_WRITE_OUTPUT 2081
#define IDS_RIP_ERROR_LAST 2081

#define IDS_TRACK 2082
#define IDS_MY_MUSIC 2083
#define IDS_FALLBACK_DOCUMENTS 2084
#define IDS_INVALID_FILENAME_CHARS 2085

// Texts shown by the program that have no fixed number elsewhere.
#define IDS_WMA_ENCODER_STARTING 2090
#define IDS_WMA_ENCODER_RUNNING 2091
#define IDS_WMA_ENCODER_STOPPING 2092
#define IDS_WMA_ENCODER_STOPPED 2093
#define IDS_OUT_OF_MEMORY 2094
#define IDS_DIALOG_DLL_NOT_FOUND 2095
#define IDS_RESOURCE_NOT_IN_DLL 2096
#define IDS_NO_TITLE 2097
#define IDS_RIP_ERROR_UNKNOWN 2098
#define IDS_FILE_OPERATION_FAILED 2150
#define IDS_FILE_OPERATION_REFUSED 2151
#define IDS_INVALID_ENTRY_NAME 2152
// Range checks of the Preferences dialog.
#define IDS_FLAC_LEVEL_RANGE 2820
#define IDS_OPUS_BITRATE_RANGE 2821
#define IDS_READ_OFFSET_RANGE 2830
#define IDS_TRACKS_ACCURATE 2950
#define IDS_RIP_NOT_PERFECT 2951
#define IDS_TRACK_NOT_ACCURATE 2952
#define IDS_TRACK_SUSPICIOUS 2953
#define IDS_TRACK_FAILED 2954
// The context menu of editable text viewers.
#define IDS_VIEWER_UNDO 2650
#define IDS_VIEWER_REDO 2651
#define IDS_VIEWER_CUT 2652
#define IDS_VIEWER_COPY 2653
#define IDS_VIEWER_PASTE 2654
#define IDS_VIEWER_DELETE 2655
#define IDS_VIEWER_SELECT_ALL 2656
// Entries whose names Windows would take for another file, and the output folder.
#define IDS_NAME_WINDOWS_REWRITES 2740
#define IDS_OUTPUT_FOLDER_UNREADABLE 2741
#define IDS_OUTPUT_FOLDER_UNUSABLE 2742
// The Edit Tag dialog and why a file's tags stay as they were.
#define IDS_TAG_READ_ONLY 2890
#define IDS_TAG_NOT_AUDIO 2891
#define IDS_TAG_IN_USE 2892
#define IDS_TAG_WRITE_FAILED 2893
#define IDS_TAG_BAD_YEAR 2894
#define IDS_EDIT_TAG_TITLE 2895

// Disc images opened as drives.
#define IDS_OPEN_DISC_IMAGE_TITLE 2870
#define IDS_DISC_IMAGE_FILTER 2871
#define IDS_DISC_IMAGE_REFUSED 2872
#define IDS_DISC_IMAGE_TOO_MANY 2873
#define IDS_DISC_IMAGE_NOT_A_SHEET 2874
#define IDS_DISC_IMAGE_NOT_CLOSABLE 2875

// The rip after its last read, while its tracks are still being encoded.
#define IDS_FINISHING_ENCODING 2930
