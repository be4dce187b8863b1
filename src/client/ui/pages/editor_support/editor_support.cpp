#include "client/ui/pages/editor_support/editor_support.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <utility>

#include <spdlog/spdlog.h>

namespace UI::EditorSupport {

std::string image_from_page(const std::string& image_path) { return page_to_build_prefix + image_path; }

std::string number_text(float value) { return std::to_string(value); }

namespace {

template <typename Convert>
auto without_exceptions(const std::string& text, Convert convert) -> std::optional<decltype(convert(text))> {
    try {
        return convert(text);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
}

}  // namespace

std::expected<float, NumberProblem> read_number(const std::string& text) {
    constexpr std::string_view spaces = " \t\n\r\f\v";
    const std::size_t first = text.find_first_not_of(spaces);
    if (first == std::string::npos) return std::unexpected(NumberProblem::NotANumber);
    std::string number = text.substr(first, text.find_last_not_of(spaces) + 1 - first);
    // from_chars takes no plus sign; one is allowed before a digit or point.
    if (number.size() > 1 && number[0] == '+' && number[1] != '-') number.erase(0, 1);
    float value = 0.0f;
    const char* const end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (stop != end || error == std::errc::invalid_argument) return std::unexpected(NumberProblem::NotANumber);
    if (error == std::errc::result_out_of_range) {
        // A valid decimal: strtod tells a number beyond a float from one too near zero.
        const double wide = std::strtod(number.c_str(), nullptr);
        if (std::fabs(wide) < 1.0) return 0.0f;
        return std::unexpected(wide > 0 ? NumberProblem::TooLarge : NumberProblem::TooSmall);
    }
    if (!std::isfinite(value)) return std::unexpected(NumberProblem::NotANumber);
    return value;
}

std::optional<float> parse_float(const std::string& text) {
    const std::expected<float, NumberProblem> number = read_number(text);
    return number ? std::optional(*number) : std::nullopt;
}

std::optional<int> parse_int(const std::string& text) {
    return without_exceptions(text, [](const std::string& t) { return std::stoi(t); });
}

std::string event_value(const Rml::Event& event) { return event.GetParameter<std::string>("value", ""); }

std::optional<std::size_t> checked_index(std::string_view event_name, int index, std::size_t size) {
    if (index < 0 || static_cast<std::size_t>(index) >= size) {
        SPDLOG_WARN("{}: index {} is outside the list of {}; ignored", event_name, index, size);
        return std::nullopt;
    }
    return static_cast<std::size_t>(index);
}

std::optional<std::size_t> index_argument(std::string_view event_name, const Rml::VariantList& arguments,
                                          std::size_t size) {
    int index = 0;
    if (arguments.empty() || !arguments.front().GetInto(index)) {
        SPDLOG_WARN("{}: no index given; ignored", event_name);
        return std::nullopt;
    }
    return checked_index(event_name, index, size);
}

void FieldReader::read(std::string_view field, const std::string& text, float& target, const Bound& bound) {
    // The shown text of an untouched field has only six decimals; the value keeps all its bits.
    const std::expected<float, NumberProblem> value =
        text == number_text(target) ? std::expected<float, NumberProblem>(target) : read_number(text);
    if (!value) {
        if (value.error() == NumberProblem::NotANumber) return refuse(fmt::format("{} is not a number", field));
        const char* const beyond = value.error() == NumberProblem::TooLarge ? "too large" : "too small";
        return refuse(fmt::format("{} is {}; it {}", field, beyond, allowed_text(bound)));
    }
    if (!allows(bound, *value)) return refuse(fmt::format("{} {}", field, allowed_text(bound)));
    // "-0" passes a bound that starts at 0; the file is to say 0.0.
    target = *value == 0.0f ? 0.0f : *value;
}

void FieldReader::refuse(std::string reason) {
    if (refusal.empty()) refusal = std::move(reason);
}

std::string refused_status(std::string_view record_name, std::string_view reason) {
    SPDLOG_WARN("Not saving {}: {}", record_name, reason);
    return fmt::format("Not saved: {}", reason);
}

std::string saved_status(std::string_view record_name, const SavedCopies& saved) {
    if (saved.both()) return fmt::format("Saved {}", record_name);
    // The build copy could not be replaced nor the source copy put back.
    if (saved.source) return fmt::format("Saved {} to src/assets only; build/assets keeps the old file", record_name);
    return fmt::format("Could not save {}; see the log", record_name);
}

void show_document(Rml::ElementDocument* document) {
    if (document) document->Show(Rml::ModalFlag::None, Rml::FocusFlag::Auto, Rml::ScrollFlag::Auto);
}

void hide_document(Rml::ElementDocument* document) {
    if (document) document->Hide();
}

}  // namespace UI::EditorSupport
