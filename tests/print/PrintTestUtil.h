// Helpers of the printing tests: the PDF printer's output folder, running Unix commands from
// the Windows test, and reading back what was printed. Layer: tests of print/.
#pragma once

#include <string>
#include <vector>

namespace printtest {

// The Unix folder where the PDF printer writes ($QV_PDF_DIR), empty when there is no printer.
std::string PdfDir();
// Runs a shell command line on the Unix side and waits for it.
void RunUnix(const std::string& command);
// Empties the output folder before a job.
void ClearPdfs();
// Waits for the printed job and returns its text in the ANSI code page, pages separated by
// form feeds ("" when nothing was printed in time).
std::string PrintedText();
// Waits until `count` jobs have been printed (or a while has passed) and returns the text of
// each PDF, oldest first.
std::vector<std::string> PrintedTexts(int count);
// A line of `pdfinfo` about the first PDF (such as "Page size:"), "" when there is none.
std::string PdfInfoLine(const std::string& key);
// The queue that took the most recent print job ("" when unknown).
std::string LastJobPrinter();
// Page count of the printed PDF (0 when there is none).
int PrintedPages();
// The pages of PrintedText.
std::vector<std::string> Pages(const std::string& text);
// The lines of one page.
std::vector<std::string> Lines(const std::string& page);
// Renders page `page` (1-based) at `dpi` and returns its RGB pixels, width and height.
bool RenderPage(int page, int dpi, std::vector<unsigned char>& rgb, int& width, int& height);
// Reads a file whole.
std::string ReadFile(const std::string& windowsPath);
// The Windows path of a Unix path (Z: drive).
std::string WindowsPath(const std::string& unixPath);

} // namespace printtest
