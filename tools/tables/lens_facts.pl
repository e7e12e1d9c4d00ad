#!/usr/bin/perl
# Prints the lens-identification facts that Debian's libimage-exiftool-perl
# carries, one per line: table, key, lens name (tab-separated).
#
# Development-time only: make_lenses.py runs this to refresh data/lens_*.tsv.
# The build and the program never need these modules.
#
#   canon        Canon LensType (decimal; ".n" marks alternatives of one type)
#   nikon        Nikon lens ID: eight hex bytes (LensIDNumber, LensFStops,
#                MinFocalLength, MaxFocalLength, MaxApertureAtMinFocal,
#                MaxApertureAtMaxFocal, MCUVersion, LensType)
#   pentax       Pentax LensType "series number"
#   olympus      Olympus LensType "make model sub" (hex bytes 0, 2 and 3)
#   olympus_ext  Olympus Extender "make model" (hex bytes 0 and 2)
#   sony         Sony/Minolta A-mount LensType (decimal), including the
#                4-digit forms some Sony models write for 5-digit IDs

use strict;
use warnings;
no warnings 'once';

use Image::ExifTool;
use Image::ExifTool::Canon;
use Image::ExifTool::Nikon;
use Image::ExifTool::Pentax;
use Image::ExifTool::Olympus;
use Image::ExifTool::Minolta;
use Image::ExifTool::Sony;

my %tables = (
    canon       => \%Image::ExifTool::Canon::canonLensTypes,
    nikon       => \%Image::ExifTool::Nikon::nikonLensIDs,
    pentax      => \%Image::ExifTool::Pentax::pentaxLensTypes,
    olympus     => $Image::ExifTool::Olympus::Equipment{0x201}{PrintConv},
    olympus_ext => $Image::ExifTool::Olympus::Equipment{0x301}{PrintConv},
    sony        => \%Image::ExifTool::Sony::sonyLensTypes,
);

binmode STDOUT, ':raw';
print "# ExifTool $Image::ExifTool::VERSION\n";
foreach my $table (sort keys %tables) {
    my $hash = $tables{$table};
    foreach my $key (sort keys %$hash) {
        next if $key eq 'Notes' or $key eq 'OTHER';
        my $name = $$hash{$key};
        next if ref $name;
        print "$table\t$key\t$name\n";
    }
}
