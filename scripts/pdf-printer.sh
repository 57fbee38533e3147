# Sourced by test.sh after install-packages.sh: a CUPS print queue that writes PDF files, for the
# tests that print through a real queue and read the result with poppler's tools. Installs CUPS,
# cups-pdf and poppler-utils when missing, starts the CUPS scheduler when it is not running and
# adds the queue. The tests find the queue and its folder in HERBDESK_PDF_QUEUE and
# HERBDESK_PDF_DIR (cups-pdf puts each user's files in a folder of the user's name below it).
# Where CUPS cannot be started, say so and go on: those tests then skip.

export HERBDESK_PDF_QUEUE=herbdesk-pdf
export HERBDESK_PDF_DIR=/var/spool/cups-pdf/herbdesk

set_up_pdf_printer() {
    local sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    install_missing_packages cups printer-driver-cups-pdf poppler-utils || {
        echo "pdf-printer: CUPS could not be installed; the real print tests will skip" >&2
        return 0
    }
    if ! lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; then
        "${sudo[@]}" cupsd || true
        local tries
        for tries in {1..50}; do
            lpstat -r 2>/dev/null | grep -qx 'scheduler is running' && break
            sleep 0.2
        done
    fi
    if ! lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; then
        echo "pdf-printer: the CUPS scheduler does not start; the real print tests will skip" >&2
        return 0
    fi
    # The queue cups-pdf:/herbdesk reads this instance's settings from cups-pdf-herbdesk.conf.
    printf 'Out %s/${USER}\nLabel 0\n' "$HERBDESK_PDF_DIR" \
        | "${sudo[@]}" tee /etc/cups/cups-pdf-herbdesk.conf >/dev/null
    local output
    if ! output=$("${sudo[@]}" lpadmin -p "$HERBDESK_PDF_QUEUE" -v cups-pdf:/herbdesk \
                      -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E 2>&1); then
        echo "pdf-printer: the queue could not be added: $output" >&2
    fi
}
