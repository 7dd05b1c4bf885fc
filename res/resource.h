// Ids and names of the launcher's resources: included by the resource scripts, the code, the tests and the tools.
#pragma once

// The patch description, "#206" of type "TXT" (key=value lines).
#define IDR_DESCRIPTION 206
#define SPLAUNCH_DESCRIPTION_NAME "#206"
#define SPLAUNCH_DESCRIPTION_TYPE "TXT"

// The version block, whose file version the log names.
#define IDR_VERSION 1

// The patch package, the resource named "IDR_MSP" of type "MSP". It is a name, not an
// id: a script that #defines IDR_MSP turns it into a number and the launcher misses it.
#define SPLAUNCH_PACKAGE_NAME "IDR_MSP"
#define SPLAUNCH_PACKAGE_TYPE "MSP"

// String table: the patch's GUID and the messages. A failure code that equals a row id
// is shown as that row.
#define IDS_PATCH_GUID 207
#define IDS_ERROR_FORMAT 300
#define IDS_SUCCESS 301
#define IDS_PRODUCT_UPDATE 302
#define IDS_CHOOSE_PRODUCT 303
#define IDS_OK 304
#define IDS_CANCEL 305
#define IDS_UP_TO_DATE 306
#define IDS_NOT_INSTALLED 307
#define IDS_WRONG_VERSION 308
#define IDS_USAGE 309
#define IDS_RESTART_QUESTION 310

// Product i is one row in each band, at the band's first id plus i; rows are
// "tag:value", and a band ends at its first missing row.
#define IDS_PRODUCT_NAMES 400
#define IDS_PRODUCT_CODES 500
#define IDS_PRODUCT_LANGUAGES 600
#define IDS_PRODUCT_TARGET_VERSIONS 700
#define IDS_PRODUCT_HOST_KEYS 800
#define IDS_PRODUCT_ACCEPTED_VERSIONS 900

// Feature rows "tag:name,container,...": the first band is read before the second.
#define IDS_FEATURES_FIRST_BAND 10001
#define IDS_FEATURES_SECOND_BAND 1001

// Row ids are 16-bit: no band reads past this id.
#define IDS_LAST_ROW 0xFFFF
