"""Host-side tools of the simulated-radio lab: guest building helpers, parsers
for iw's and wlanreport's output, and the comparison between them."""
