/*
 * Identifiers of the component's resources, shared by the resource script
 * and the C++ code that loads them.
 *
 * A payment's status text is the string IDS_PAYMENT_STATUS_BASE + the status
 * code; codes without a text (1 to 19, 36 and above) have no string.
 * The format descriptions of the payment options dialog are
 * IDS_FORMAT_DESCRIPTION_BASE + the payment format (0 to 3), with the euro
 * variant of format 0 for Republic of Ireland payments.
 */
#ifndef PAYLODE_RESOURCES_RESOURCE_H
#define PAYLODE_RESOURCES_RESOURCE_H

#define IDR_TYPELIB 1

#define IDS_PROJNAME 100

/* The registry scripts of the four classes, in the class order. */
#define IDR_BANK                 101
#define IDR_BANKSERVICES         102
#define IDR_BANKPAYMENTSERVICE   103
#define IDR_BANKSTATEMENTSERVICE 104

#define IDS_PAYMENT_STATUS_BASE                 300
#define IDS_STATUS_SUCCESS                      300
#define IDS_STATUS_BATCH_REJECTED               320
#define IDS_STATUS_INVALID_AMOUNT               321
#define IDS_STATUS_INVALID_PAYER_BACS_REFERENCE 322
#define IDS_STATUS_INVALID_PAYER_SORT_CODE      323
#define IDS_STATUS_INVALID_PAYER_ACCOUNT_NUMBER 324
#define IDS_STATUS_INVALID_PAYER_ACCOUNT_NAME   325
#define IDS_STATUS_INVALID_PAYER_ROLL_NUMBER    326
#define IDS_STATUS_INVALID_PAYEE_BACS_REFERENCE 327
#define IDS_STATUS_INVALID_PAYEE_SORT_CODE      328
#define IDS_STATUS_INVALID_PAYEE_ACCOUNT_NUMBER 329
#define IDS_STATUS_INVALID_PAYEE_ACCOUNT_NAME   330
#define IDS_STATUS_INVALID_PAYEE_ROLL_NUMBER    331
#define IDS_STATUS_INVALID_REFERENCE            332
#define IDS_STATUS_INVALID_DETAILS              333
#define IDS_STATUS_INVALID_CURRENCY             334
#define IDS_STATUS_FIELD_ERROR                  335

#define IDS_TOO_MANY_PAYMENTS 340

#define IDS_FORMAT_DESCRIPTION_BASE          403
#define IDS_FORMAT_STANDARD_DESCRIPTION      403
#define IDS_FORMAT_TEMPLATE_DESCRIPTION      404
#define IDS_FORMAT_BULK_LIST_DESCRIPTION     405
#define IDS_FORMAT_AD_HOC_BULK_DESCRIPTION   406
#define IDS_NEXT_BACS_CREDITING_DATE         407
#define IDS_NEXT_EURO_CREDITING_DATE         408
#define IDS_FORMAT_STANDARD_EURO_DESCRIPTION 409

/* The payment options dialog, its icon and its controls. */
#define IDD_PAYMENT_OPTIONS            1001
#define IDI_PAYLODE            200
#define IDC_IRELAND            205
#define IDC_CREDITING_LABEL    2001
#define IDC_PROCESSING_DATE    2003
#define IDC_IAT_CHECK          2004
#define IDC_IAT_LIST           2005
#define IDC_SET                2006
#define IDC_RESET              2007
#define IDC_IAT_EXPLANATION    2008
#define IDC_DESCRIPTION        2009
#define IDC_TEMPLATE_LABEL     2010
#define IDC_TEMPLATE           2011
#define IDC_FORMAT_GROUP       2012
#define IDC_FORMAT_STANDARD    2013
#define IDC_FORMAT_TEMPLATE    2014
#define IDC_FORMAT_BULK_LIST   2015
#define IDC_FORMAT_AD_HOC_BULK 2016
#define IDC_REFERENCE_LABEL    2017
#define IDC_REFERENCE          2018

#endif  // PAYLODE_RESOURCES_RESOURCE_H
