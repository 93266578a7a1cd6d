#include "program/report_html.h"

#include "app/cp1252.h"
#include "settings/page_layout.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

namespace pravenor::program {

namespace {

std::string escaped(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    constexpr std::array<std::pair<char, std::string_view>, 4> kEntities = {
        {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}}};
    for (const char c : utf8) {
        const auto entity = std::find_if(kEntities.begin(), kEntities.end(),
                                         [c](const auto& entry) { return entry.first == c; });
        if (entity != kEntities.end())
            out += entity->second;
        else
            out += c;
    }
    return out;
}

// Windows-1252 in, HTML text out.
std::string html(const std::string& cp1252)
{
    return escaped(app::Cp1252ToUtf8(cp1252));
}

// A frame's caption without the colon and blank it ends in on the page.
std::string caption(const char* text)
{
    std::string caption = text;
    while (!caption.empty() && (caption.back() == ' ' || caption.back() == ':'))
        caption.pop_back();
    return caption;
}

class Writer
{
public:
    explicit Writer(const CommissioningReport& report) : m_report(report) {}

    // The value with its mark; a mark is a sign or a word, so that it reads without colour.
    std::string value(const ReportValue& v) const
    {
        std::string cell = "<span class=\"value\">" + html(v.text) + "</span>";
        if (v.mark == UnitMark::Differs)
            cell += " <span class=\"differs\">" + std::string(kDiffersMark) +
                    " unit: " + html(v.unitText) + "</span>";
        else if (v.mark == UnitMark::NotRead && m_report.unitSeen)
            cell += " <span class=\"notread\">" + std::string(kNotReadMark) + "</span>";
        return cell;
    }

    std::string cells(const ReportValue* v) const
    {
        if (!v)
            return "<td class=\"legend\"></td><td></td>";
        return "<td class=\"legend\">" + html(v->legend) + "</td><td>" + value(*v) + "</td>";
    }

    std::string table(const std::vector<ReportValue>& rows) const
    {
        std::string out = "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">\n";
        for (const ReportValue& row : rows)
            out += "<tr><td class=\"legend\" width=\"34%\">" + html(row.legend) + "</td><td>" +
                   value(row) + "</td></tr>\n";
        return out + "</table>\n";
    }

    std::string input(const ReportInput& in) const
    {
        const auto frames = settings::InputFrames();
        std::string out = "<h3>Input " + std::to_string(in.number) + "</h3>\n";
        out += "<p class=\"use\">" + html(in.use.legend) + " " + value(in.use) + " &#183; " +
               html(in.guarding.legend) + " " + value(in.guarding) + " &#183; " +
               html(in.contactType.legend) + " " + value(in.contactType) + "</p>\n";
        out += "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">\n<tr><th colspan=\"2\" "
               "width=\"50%\">" +
               escaped(caption(frames[1].caption)) + "</th><th colspan=\"2\" width=\"50%\">" +
               escaped(caption(frames[2].caption)) + "</th></tr>\n";
        const std::size_t rows = std::max(in.alarm.size(), in.error.size());
        for (std::size_t r = 0; r < rows; ++r) {
            out += "<tr>" + cells(r < in.alarm.size() ? &in.alarm[r] : nullptr) +
                   cells(r < in.error.size() ? &in.error[r] : nullptr) + "</tr>\n";
        }
        return out + "</table>\n";
    }

    std::string page() const
    {
        const ReportHeading& h = m_report.heading;
        std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<title>Commissioning report" +
                          (h.site.empty() ? "" : ", " + html(h.site)) + "</title>\n" + style() +
                          "</head>\n<body>\n";
        out += "<h1>Commissioning report</h1>\n<table class=\"heading\" cellspacing=\"0\" "
               "cellpadding=\"1\">\n";
        auto line = [&](const char* name, const std::string& text) {
            if (!text.empty())
                out += "<tr><td class=\"legend\">" + std::string(name) + "</td><td>" + html(text) +
                       "</td></tr>\n";
        };
        line("Site:", h.site);
        line("Engineer:", h.engineer);
        line("Date:", h.made);
        line("Program:", "Pravenor " + h.version);
        line("Line:", h.line);
        line("Settings:", h.source);
        out += "</table>\n";

        out += "<h2>General Setup</h2>\n" + table(m_report.general);
        out += "<h2>Paging Setup</h2>\n" + table(m_report.paging);
        out += "<h2>Input Contact Setup</h2>\n";
        for (const ReportInput& in : m_report.inputs)
            out += input(in);
        if (!m_report.unused.empty()) {
            out += "<p class=\"unused\">Not in use:";
            for (std::size_t i = 0; i < m_report.unused.size(); ++i)
                out += std::string(i == 0 ? " " : ", ") + "Input " +
                       std::to_string(m_report.unused[i].number) + " " +
                       value(m_report.unused[i].use);
            out += "</p>\n";
        }
        out += changes();
        out += "<p class=\"note\">" + note() + "</p>\n</body>\n</html>\n";
        return out;
    }

private:
    static std::string style()
    {
        return "<style>\n"
               "body { font-family: sans-serif; font-size: 8pt; color: #000; }\n"
               "h1 { font-size: 14pt; margin: 0 0 4pt 0; }\n"
               "h2 { font-size: 10pt; margin: 8pt 0 2pt 0; }\n"
               "h3 { font-size: 9pt; margin: 6pt 0 1pt 0; }\n"
               "p { margin: 1pt 0; }\n"
               "table { border-collapse: collapse; width: 100%; }\n"
               "table.heading { width: auto; }\n"
               "th, td { border: 1px solid #999; padding: 1pt 3pt; text-align: left; "
               "vertical-align: top; }\n"
               "table.heading td { border: none; }\n"
               "th { background-color: #e8e8e8; font-weight: bold; }\n"
               "td.legend { color: #333; width: 17%; }\n"
               ".differs { font-weight: bold; }\n"
               ".notread { font-style: italic; }\n"
               ".note { margin-top: 6pt; color: #333; }\n"
               "</style>\n";
    }

    std::string changes() const
    {
        if (m_report.changes.empty())
            return {};
        std::string out = "<h2>Changes written in this session</h2>\n<table cellspacing=\"0\" "
                          "cellpadding=\"1\">\n<tr><th>Time</th><th>Setting</th><th>Before</th>"
                          "<th>After</th><th>Outcome</th></tr>\n";
        for (const files::JournalRow& row : m_report.changes) {
            char time[16];
            std::snprintf(time, sizeof time, "%02d:%02d:%02d", row.when.hour, row.when.minute,
                          row.when.second);
            out += "<tr><td>" + std::string(time) + "</td><td>" + html(row.setting) + "</td><td>" +
                   (row.before.empty() ? std::string("unknown") : html(row.before)) + "</td><td>" +
                   html(row.after) + "</td><td>" + files::OutcomeText(row.outcome) + "</td></tr>\n";
        }
        return out + "</table>\n";
    }

    std::string note() const
    {
        if (!m_report.unitSeen)
            return "None of these values has been read from the unit.";
        std::string text = std::string(kDiffersMark) +
                           " the unit holds another value, shown after the sign; " + kNotReadMark +
                           " the value has not been read from the unit. ";
        text += std::to_string(m_report.differing) +
                (m_report.differing == 1 ? " value differs" : " values differ") +
                " from the unit, " + std::to_string(m_report.notRead) + " not read.";
        return text;
    }

    const CommissioningReport& m_report;
};

} // namespace

std::string ReportHtml(const CommissioningReport& report)
{
    return Writer(report).page();
}

} // namespace pravenor::program
