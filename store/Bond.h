#pragma once

// One savings bond as the owner entered it. Each field keeps its text exactly as stored, so a
// value outside the entry lists (a year the lists do not offer, a month name in another
// spelling) survives a read and a write unchanged; the typed readings (`issued`, `faceAmount`)
// answer nothing for such text. Keys of the stored record that Orvelt does not use are kept and
// written back in their place.

#include "platform/PlistValue.h"
#include "store/YearMonth.h"

#include <optional>
#include <string>

// Issue-date order, the one order of the store, the report and its Issue Year column: the year,
// then the month (January when the month text is not a month name).
YearMonth issueDateOrder(int year, std::string_view monthName);

class PlistXmlWriter;

class Bond {
  public:
    Bond() = default;
    Bond(std::string serial, std::string type, std::string faceValue, std::string issueYear,
         std::string issueMonth);

    std::string serial;
    std::string type;       // series: "E", "EE", "I" or "S"
    std::string faceValue;  // dollars without "$", such as "100"
    std::string issueYear;  // four digits
    std::string issueMonth; // English month name

    // Optional fields, stored only when set.
    bool electronic = false;    // held in a Treasury account; faceValue is its amount to the cent
    std::string owner;          // the registration's first name
    std::string secondName;     // a co-owner or beneficiary
    std::string secondNameIs;   // kCoOwner or kBeneficiary
    std::string keptAt;         // where the paper certificate is kept
    std::string note;           // the owner's own words
    std::string cashed;         // the month cashed, "2026-03"; empty while held
    std::string amountReceived; // dollars received when cashed, "1234.56"

    // The issue month, when the year and month texts name one.
    std::optional<YearMonth> issued() const;
    // The month the bond was cashed, when `cashed` names one.
    std::optional<YearMonth> cashedMonth() const;
    // The face value in dollars, read as every number text is (the leading number; 0 when
    // there is none). A face value or year stored as a number is read as that number.
    double faceAmount() const;
    // The issue year as a number for ordering: the leading number of its text (0 when there is
    // none).
    int issueYearNumber() const;
    // Where the bond stands in issue-date order (issueDateOrder of its year's number).
    YearMonth issueDateOrder() const;

    // The bond read from a portfolio file's bond record (normally a dictionary of texts; a
    // field that is missing or not text reads as empty).
    static Bond fromRecord(const PlistValue& record);
    // The record to store: the record it was read from with the fields as they are now, in the
    // record's own key order; a new bond's record holds the five fields and the optional ones set.
    PlistValue toRecord() const;
    // The same record written as property-list text, straight from the bond's fields when it
    // has no stored record.
    void writeRecord(PlistXmlWriter& writer) const;

    // The text under `key` of the record toRecord() gives, as the user sees it: text as it is, a
    // number in plain decimal notation (locale-independent), a boolean as 1 or 0, anything else
    // or nothing the empty text. Reaches the keys Orvelt does not use.
    std::string recordText(std::string_view key) const;

    // Same fields (the five and the optional ones), whatever else the stored record holds.
    bool sameFields(const Bond& other) const;

  private:
    // A field stored as a number rather than text (a file written by another program) reads as
    // that number.
    const PlistValue* storedNumber(std::string_view key) const;

    // The record as read, kept for what the fields do not hold; absent for a new bond and for a
    // record that holds nothing but the five texts in their usual order.
    PlistValue stored_;
};
