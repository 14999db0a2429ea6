#include "EmailDetails.h"

#include "../mime/MimeBody.h"

std::string FormatEmailDetails(const TEmail& email, bool withHeader, const TCodePageConverter& convert)
{
    // The body comes from the lines the check read (the "Number lines max."
    // setting), decoded only for the message clicked: no session per click.
    const TMimeBodyText body = DecodeMimeBody(email.Header, email.Body, convert);
    std::string text = "From : " + email.DecodedFrom + "\r\n";
    text += "To : " + email.DecodedTo + "\r\n";
    text += "Date : " + RawTextToUtf8(GetEmailDate(email)) + "\r\n";
    text += "Subject : " + email.DecodedSubject + "\r\n";
    text += "Size : " + email.Size + "\r\n";
    if (!body.OtherParts.empty() || body.Cut) {
        text += "Attachments : \r\n";
        for (const std::string& name : body.OtherParts)
            text += name + "\r\n";
        if (body.Cut)
            text += "\xE2\x80\xA6\r\n";
    }
    text += "\r\n";
    if (withHeader)
        text += RawTextToUtf8(email.Header);
    text += body.Text;
    return text;
}
