#include "payments/Reconcile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <unordered_map>
#include <utility>

#include "common/OleDate.h"
#include "payments/BankClosures.h"
#include "payments/BankingCalendar.h"

namespace paylode {

namespace {

double DayOf(double date) { return std::floor(date); }

bool IsBulkFormat(const std::string& format) { return format == "2" || format == "3"; }

void AddReference(std::vector<std::string>* references, const std::string& reference) {
    if (!reference.empty() && std::find(references->begin(), references->end(), reference) == references->end()) {
        references->push_back(reference);
    }
}

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
           }) != text.end();
}

bool NamesItem(const StatementDebit& debit, const ReconcileItem& item) {
    return std::any_of(item.references.begin(), item.references.end(),
                       [&](const std::string& reference) { return ContainsIgnoringCase(debit.narrative, reference); });
}

bool Fits(const StatementDebit& debit, const ReconcileItem& item) {
    const double day = DayOf(debit.date);
    return debit.date != 0 && debit.pence == item.pence && day >= item.processingDate && day <= item.lastDate;
}

}  // namespace

double BankingDaysAfter(double date, int days, const CBankClosures* closures) {
    double day = DayOf(date);
    for (int found = 0; found < days;) {
        day += 1;
        int daysToNext = 0;
        int reason = 0;
        if (IsBankingDay(day, &daysToNext, &reason) && (closures == nullptr || closures->ReasonFor(day) == nullptr)) {
            ++found;
        }
    }
    return day;
}

std::vector<ReconcileItem> ReconcileItems(const std::vector<JournalEntry>& entries, const std::string& payerSortCode,
                                          const std::string& payerAccountNumber, const CBankClosures* closures) {
    std::vector<ReconcileItem> items;
    for (std::size_t first = 0; first < entries.size();) {
        std::size_t end = first + 1;
        while (end < entries.size() && entries[end][kJournalRun] == entries[first][kJournalRun]) ++end;
        const JournalEntry& head = entries[first];
        const std::optional<double> processing = ParseIsoDate(head[kJournalProcessingDate]);
        if (head[kJournalPayerSortCode] == payerSortCode && head[kJournalPayerAccountNumber] == payerAccountNumber &&
            processing) {
            ReconcileItem item;
            item.run = head[kJournalRun];
            item.processingDate = DayOf(*processing);
            item.lastDate = BankingDaysAfter(*processing, 3, closures);
            const bool bulk = IsBulkFormat(head[kJournalFormat]);
            bool readable = true;
            for (std::size_t i = first; i < end; ++i) {
                std::int64_t pence = 0;
                if (!PenceOfAmount(entries[i][kJournalAmount], &pence)) {
                    readable = false;
                    continue;
                }
                if (bulk) {
                    readable = readable && !__builtin_add_overflow(item.pence, pence, &item.pence);
                    AddReference(&item.references, entries[i][kJournalReference]);
                    continue;
                }
                ReconcileItem payment = item;
                payment.row = std::atol(entries[i][kJournalRow].c_str());
                payment.pence = pence;
                AddReference(&payment.references, entries[i][kJournalPayeeBACSReference]);
                AddReference(&payment.references, entries[i][kJournalReference]);
                items.push_back(std::move(payment));
            }
            // A bulk run whose total cannot be had is not set against the statement.
            if (bulk && readable) items.push_back(std::move(item));
        }
        first = end;
    }
    return items;
}

void StatementDebits::Add(long line, double date, bool debit, double amount, std::string narrative) {
    if (date != 0) {
        first = first == 0 ? date : std::min(first, date);
        last = std::max(last, date);
    }
    if (debit) debits.push_back({line, date, std::llround(amount * 100), std::move(narrative)});
}

Reconciliation Reconcile(std::vector<ReconcileItem> items, const StatementDebits& statement) {
    const std::vector<StatementDebit>& debits = statement.debits;
    // The debits by date, then line: the earliest first.
    std::vector<std::size_t> order(debits.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return DayOf(debits[a].date) < DayOf(debits[b].date); });
    // Each item looks only at the debits of its amount, so that a year of
    // journal against a long statement stays linear.
    std::unordered_map<std::int64_t, std::vector<std::size_t>> byAmount;
    for (const std::size_t i : order) byAmount[debits[i].pence].push_back(i);
    std::vector<bool> taken(debits.size(), false);
    const auto match = [&](bool named) {
        for (ReconcileItem& item : items) {
            if (item.statementLine != 0) continue;
            const auto sameAmount = byAmount.find(item.pence);
            if (sameAmount == byAmount.end()) continue;
            for (const std::size_t i : sameAmount->second) {
                if (taken[i] || !Fits(debits[i], item) || (named && !NamesItem(debits[i], item))) continue;
                taken[i] = true;
                item.statementLine = debits[i].line;
                item.statementDate = DayOf(debits[i].date);
                break;
            }
        }
    };
    match(true);
    match(false);

    Reconciliation result;
    for (ReconcileItem& item : items) {
        item.counted = item.processingDate >= DayOf(statement.first) && item.lastDate <= DayOf(statement.last);
        if (item.counted) ++(item.statementLine != 0 ? result.found : result.notFound);
    }
    for (std::size_t i = 0; i < debits.size(); ++i) {
        if (!taken[i]) result.unexplained.push_back(i);
    }
    result.items = std::move(items);
    return result;
}

}  // namespace paylode
