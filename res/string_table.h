/* The string table, shared by the Windows resource script and the POSIX string loader. */
#ifndef QUORVEL_RES_STRING_TABLE_H
#define QUORVEL_RES_STRING_TABLE_H

#define IDS_TIMESTAMP_FORMAT 18000
#define IDS_LOG_LINE_LONG 18001
#define IDS_LOG_LINE_SHORT 18002
#define IDS_PRODUCT_NAME 18003
#define IDS_HELPER_FAILED 18004

#define STR_TIMESTAMP_FORMAT "%a, %d %b %Y %H:%M:%S %Z"
#define STR_LOG_LINE_LONG "%s - %s (\\\\%s, user %s)\r\n"
#define STR_LOG_LINE_SHORT "%s - %s\r\n"
#define STR_PRODUCT_NAME "Quorvel"
#define STR_HELPER_FAILED "Unable to execute 32-bit helper application."

#endif
