#pragma once

// One savings bond as the owner entered it. Each field keeps its text exactly as stored, so a
// value outside the entry lists (a year the lists do not offer, a month name in another
// spelling) survives a read and a write unchanged; the typed readings (`issued`, `faceAmount`)
// answer nothing for such text. Keys of the stored record that Orvelt does not use are kept and
// written back in their place.

#include "platform/PlistValue.h"
#include "store/YearMonth.h"

#include <memory>
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

    // Held in a Treasury account; faceValue is its amount to the cent.
    bool electronic = false;

    // Optional fields, empty when not set.
    // The registration's first name.
    const std::string& owner() const { return details().owner; }
    // A co-owner or beneficiary, and which (kCoOwner or kBeneficiary).
    const std::string& secondName() const { return details().secondName; }
    const std::string& secondNameIs() const { return details().secondNameIs; }
    // Where the paper certificate is kept.
    const std::string& keptAt() const { return details().keptAt; }
    // The owner's own words.
    const std::string& note() const { return details().note; }
    // The month cashed, "2026-03"; empty while held.
    const std::string& cashed() const { return details().cashed; }
    // Dollars received when cashed, "1234.56".
    const std::string& amountReceived() const { return details().amountReceived; }

    void setOwner(std::string text) { setDetail(&Details::owner, std::move(text)); }
    void setSecondName(std::string text) { setDetail(&Details::secondName, std::move(text)); }
    void setSecondNameIs(std::string text) { setDetail(&Details::secondNameIs, std::move(text)); }
    void setKeptAt(std::string text) { setDetail(&Details::keptAt, std::move(text)); }
    void setNote(std::string text) { setDetail(&Details::note, std::move(text)); }
    void setCashed(std::string text) { setDetail(&Details::cashed, std::move(text)); }
    void setAmountReceived(std::string text) {
        setDetail(&Details::amountReceived, std::move(text));
    }

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
    // The optional fields. Most bonds hold none of them, so they live apart, made only when one
    // is set, and copies of a bond share them until one of the copies changes them: a large
    // portfolio, and each report of it, carries no empty fields.
    struct Details {
        std::string owner;
        std::string secondName;
        std::string secondNameIs;
        std::string keptAt;
        std::string note;
        std::string cashed;
        std::string amountReceived;
    };

    // What a bond without details reads.
    static const Details& noDetails();
    const Details& details() const { return details_ ? *details_ : noDetails(); }
    // The details this bond alone holds, made or unshared first.
    Details& editDetails();
    // Leaves a bond without details as it is when the text is empty.
    void setDetail(std::string Details::*field, std::string text);

    // A field stored as a number rather than text (a file written by another program) reads as
    // that number.
    const PlistValue* storedNumber(std::string_view key) const;

    std::shared_ptr<Details> details_;
    // The record as read, kept for what the fields do not hold; absent for a new bond and for a
    // record that holds nothing but the five texts in their usual order.
    PlistValue stored_;
};
