// SPDX-License-Identifier: MIT
// A raw input over a host's own buffer: an editor's piece table, quoted where
// it stands, without first copying it into one string.
#include <vantel/vantel.hpp>

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The text is the concatenation of its pieces: slices of the file as loaded
// and of the text typed since.
class Piece_table {
 public:
  Piece_table(std::string original, std::string added)
      : original_(std::move(original)), added_(std::move(added)) {}
  void append_piece(bool from_added, std::size_t start, std::size_t length) {
    const std::string& source = from_added ? added_ : original_;
    pieces_.push_back(std::string_view(source).substr(start, length));
  }

  // The cursor the raw input reads through.
  vantel::Seek_result seek(std::int64_t offset) {
    if (offset < 0) return vantel::Seek_result::Invalid_position;
    piece_ = 0;
    auto rest = static_cast<std::size_t>(offset);
    while (piece_ < pieces_.size() && rest >= pieces_[piece_].size())
      rest -= pieces_[piece_++].size();
    if (piece_ == pieces_.size()) return vantel::Seek_result::Invalid_position;
    in_piece_ = rest;
    return vantel::Seek_result::Ok;
  }
  vantel::Byte read_char() {
    while (piece_ < pieces_.size() && in_piece_ == pieces_[piece_].size()) {
      ++piece_;
      in_piece_ = 0;
    }
    if (piece_ == pieces_.size()) return vantel::End_of_input;
    return static_cast<unsigned char>(pieces_[piece_][in_piece_++]);
  }
  // The table is asked for once per input, so the pieces are joined just
  // for it.
  vantel::Line_table line_offsets() const {
    std::string joined;
    for (const std::string_view piece : pieces_) joined += piece;
    return vantel::Line_table::of_text(joined);
  }

 private:
  std::string original_;
  std::string added_;
  std::vector<std::string_view> pieces_;
  std::size_t piece_ = 0;     // piece being read
  std::size_t in_piece_ = 0;  // next byte in it
};

}  // namespace

int main() {
  // "total = count * price\n" as loaded, with "unit_" typed before "price".
  Piece_table text("total = count * price\n", "unit_");
  text.append_piece(false, 0, 16);
  text.append_piece(true, 0, 5);
  text.append_piece(false, 16, 6);

  const vantel::Input input =
      vantel::Input::raw([&](std::int64_t offset) { return text.seek(offset); },
                         [&] { return text.read_char(); }, [&] { return text.line_offsets(); });
  vantel::Formatter out(std::cout);
  vantel::pp(input, out,
             {{vantel::Position::of_line_col(1, 17), vantel::Position::of_line_col(1, 27)}});
}
