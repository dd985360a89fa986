// The text ids the import shows.
#pragma once

namespace vekrano::import {

inline constexpr int kAbandonCaptionId = 41;
inline constexpr int kBarcodeLabelId = 12;
inline constexpr int kText1LabelId = 46;
inline constexpr int kText2LabelId = 47;
inline constexpr int kQuantityLabelId = 48;
inline constexpr int kParametersGroupId = 91;
inline constexpr int kSeparatorLabelId = 92;
inline constexpr int kHeaderLinesLabelId = 93;
inline constexpr int kTenFieldsNoteId = 94;
inline constexpr int kPathLabelId = 95;
inline constexpr int kOpenFileId = 96;
inline constexpr int kPreviousId = 97;
inline constexpr int kNextId = 98;
inline constexpr int kStartImportId = 99;
inline constexpr int kFieldsGroupId = 100;
inline constexpr int kNoPathId = 101;
inline constexpr int kWindowCaptionId = 111;
inline constexpr int kColumnPrefixId = 112;
inline constexpr int kFieldEntryPrefixId = 113;
inline constexpr int kNoFieldEntryId = 114;
inline constexpr int kImportedCountId = 131;
inline constexpr int kImportEndCaptionId = 132;
// Added texts.
inline constexpr int kFailedCountId = 175;
inline constexpr int kFirstFailedLinesId = 176;
inline constexpr int kNumbersExhaustedId = 177;
inline constexpr int kQuotedFieldsId = 178;
inline constexpr int kTableCannotWriteId = 185;
inline constexpr int kRefusedLinesId = 264;
inline constexpr int kLineWordId = 265;
inline constexpr int kConvertedLinesId = 266;

}  // namespace vekrano::import
